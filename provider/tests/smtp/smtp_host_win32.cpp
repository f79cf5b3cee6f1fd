#include "smtp_host.h"

#include <windows.h>

#include <stdexcept>

namespace smtp_host {

namespace {

// build/win32: this program lives in build/win32/tests.
std::string build_folder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    text = text.substr(0, text.find_last_of("\\/"));
    return text.substr(0, text.find_last_of("\\/"));
}

std::string as_mapi32_folder() { return build_folder() + "\\provider\\as_mapi32"; }

} // namespace

// Nothing else named MAPI32.DLL is beside the program, and Wine takes a
// native one (WINEDLLOVERRIDES=mapi32=n), so the DLL directory decides.
void use_our_provider()
{
    if (!SetDllDirectoryA(as_mapi32_folder().c_str())) {
        throw std::runtime_error("cannot select " + as_mapi32_folder());
    }
}

std::string provider_path() { return as_mapi32_folder() + "\\MAPI32.DLL"; }

// The server runs outside Wine and writes into a Unix folder: its path
// seen through drive Z:.
std::string server_folder()
{
    char value[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ZORVA_SMTP_TEST_SERVER", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        throw std::runtime_error("ZORVA_SMTP_TEST_SERVER is not set");
    }
    return std::string("Z:") + std::string(value, length);
}

void free_library(void *library) { FreeLibrary(static_cast<HMODULE>(library)); }

} // namespace smtp_host

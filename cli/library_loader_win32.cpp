#include "library_loader.h"

#include <windows.h>

namespace zorva_cli {

const char *const kLibraryFileName = "zorva_mapi.dll";
const char *const kProviderLibraryFileName = "zorva_provider.dll";

namespace {

std::string last_error_text()
{
    DWORD code = GetLastError();
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) {
        text[--length] = '\0';
    }
    return "error " + std::to_string(code) + (length > 0 ? std::string(": ") + text : "");
}

} // namespace

void *load_library(const std::string &path, std::string *error)
{
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        *error = last_error_text();
    }
    return reinterpret_cast<void *>(library);
}

void *find_function(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void free_library(void *library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string program_folder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        return ".";
    }
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/"));
}

std::string path_in_folder(const std::string &folder, const std::string &file)
{
    return folder + "\\" + file;
}

} // namespace zorva_cli

#include "host_platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <stdexcept>

namespace host_platform {

namespace {

// The folder of this test program: build/win32/tests.
std::string program_folder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/"));
}

std::string build_folder()
{
    std::string tests = program_folder();
    return tests.substr(0, tests.find_last_of("\\/"));
}

} // namespace

std::string library_path() { return build_folder() + "\\zorva_mapi.dll"; }

void *load_library(const std::string &path)
{
    return reinterpret_cast<void *>(LoadLibraryA(path.c_str()));
}

void *find_function(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void *find_ordinal(void *library, int ordinal)
{
    return reinterpret_cast<void *>(
        GetProcAddress(static_cast<HMODULE>(library), MAKEINTRESOURCEA(ordinal)));
}

// Neither the program's folder nor the system's holds a MAPI32.DLL that Wine
// will load (WINEDLLOVERRIDES=mapi32=n), so the DLL directory decides.
void select_provider(Provider provider)
{
    std::string path = provider == Provider::Ours             ? build_folder() + "\\provider\\as_mapi32"
                       : provider == Provider::Full           ? build_folder() + "\\providers\\full"
                       : provider == Provider::WithoutDetails ? build_folder() + "\\providers\\without_details"
                                                              : build_folder() + "\\providers\\none";
    if (!SetDllDirectoryA(path.c_str())) {
        throw std::runtime_error("cannot select " + path);
    }
}

void set_environment(const std::string &name, const std::string &value)
{
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

namespace {
FILE *capture_file = nullptr;
int saved_stdout = -1;
} // namespace

void start_capture()
{
    std::fflush(stdout);
    capture_file = std::tmpfile();
    saved_stdout = _dup(_fileno(stdout));
    _dup2(_fileno(capture_file), _fileno(stdout));
    // Bytes as the library printed them: no LF to CR LF translation.
    _setmode(_fileno(stdout), _O_BINARY);
}

std::string stop_capture()
{
    std::fflush(stdout);
    _dup2(saved_stdout, _fileno(stdout));
    _close(saved_stdout);
    _setmode(_fileno(stdout), _O_TEXT);
    std::string text;
    std::rewind(capture_file);
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, capture_file)) > 0) {
        text.append(chunk, got);
    }
    std::fclose(capture_file);
    return text;
}

} // namespace host_platform

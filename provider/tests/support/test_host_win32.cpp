#include "test_host.h"

#include <windows.h>

#include <stdexcept>

namespace test_host {

namespace {

// The folder of this test program: build/win32/provider/tests.
std::string program_folder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/"));
}

std::string parent(const std::string &folder) { return folder.substr(0, folder.find_last_of("\\/")); }

std::string quoted(const std::string &argument)
{
    std::string text = "\"";
    for (char c : argument) {
        if (c == '"') text += '\\';
        text += c;
    }
    return text + "\"";
}

} // namespace

std::string provider_library_path() { return parent(program_folder()) + "\\zorva_provider.dll"; }
std::string as_mapi32_folder() { return parent(program_folder()) + "\\as_mapi32"; }
std::string worker_path() { return program_folder() + "\\provider_worker.exe"; }
std::string zorva_library_path() { return parent(parent(program_folder())) + "\\zorva_mapi.dll"; }

void *load_library(const std::string &path) { return reinterpret_cast<void *>(LoadLibraryA(path.c_str())); }

void *find_function(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void free_library(void *library) { FreeLibrary(static_cast<HMODULE>(library)); }

void set_environment(const std::string &name, const std::string &value)
{
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void unset_environment(const std::string &name) { SetEnvironmentVariableA(name.c_str(), nullptr); }

Process spawn(const std::string &program, const std::vector<std::string> &arguments, const std::string &output_path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot create " + output_path);
    }
    std::string command = quoted(program);
    for (const std::string &argument : arguments) {
        command += " " + quoted(argument);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    BOOL started = CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &info);
    CloseHandle(output);
    if (!started) {
        throw std::runtime_error("cannot start " + program);
    }
    CloseHandle(info.hThread);
    return Process{reinterpret_cast<std::intptr_t>(info.hProcess)};
}

int wait_for(Process &process)
{
    HANDLE handle = reinterpret_cast<HANDLE>(process.handle);
    WaitForSingleObject(handle, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(handle, &code);
    CloseHandle(handle);
    process.handle = 0;
    return static_cast<int>(code);
}

void kill_now(Process &process)
{
    TerminateProcess(reinterpret_cast<HANDLE>(process.handle), 137);
    wait_for(process);
}

void sleep_ms(int ms) { Sleep(static_cast<DWORD>(ms)); }

} // namespace test_host

// What the provider's tests need from the system: where the built files
// are, loading a library by path, the environment, and child processes.
// test_host_posix.cpp and test_host_win32.cpp implement it.
#ifndef ZORVA_PROVIDER_TESTS_TEST_HOST_H
#define ZORVA_PROVIDER_TESTS_TEST_HOST_H

#include <cstdint>
#include <string>
#include <vector>

namespace test_host {

std::string provider_library_path(); // zorva_provider.dll / libzorva_provider.so
std::string as_mapi32_folder();      // the folder of the copy named MAPI32.DLL
std::string worker_path();           // the provider_worker program
std::string zorva_library_path();    // zorva_mapi.dll / libzorva_mapi.so

void *load_library(const std::string &path);
void *find_function(void *library, const char *name);
void free_library(void *library);

void set_environment(const std::string &name, const std::string &value);
void unset_environment(const std::string &name);

// A child process; its standard output goes to output_path.
struct Process {
    std::intptr_t handle = 0;
    bool valid() const { return handle != 0; }
};
Process spawn(const std::string &program, const std::vector<std::string> &arguments, const std::string &output_path);
// Waits for the process to end; its exit code.
int wait_for(Process &process);
// Ends the process at once, as a crash would.
void kill_now(Process &process);

void sleep_ms(int ms);

} // namespace test_host

#endif

#include "test_host.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

extern char **environ;

namespace test_host {

std::string provider_library_path() { return ZORVA_PROVIDER_LIBRARY; }
std::string as_mapi32_folder() { return ZORVA_PROVIDER_AS_MAPI32; }
std::string worker_path() { return ZORVA_PROVIDER_WORKER; }
std::string zorva_library_path() { return ZORVA_LIBRARY_PATH; }

void *load_library(const std::string &path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
void *find_function(void *library, const char *name) { return dlsym(library, name); }
void free_library(void *library) { dlclose(library); }

void set_environment(const std::string &name, const std::string &value) { setenv(name.c_str(), value.c_str(), 1); }
void unset_environment(const std::string &name) { unsetenv(name.c_str()); }

Process spawn(const std::string &program, const std::vector<std::string> &arguments, const std::string &output_path)
{
    std::vector<char *> argv;
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    for (std::string &argument : all) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    return Process{pid};
}

int wait_for(Process &process)
{
    int status = 0;
    waitpid(static_cast<pid_t>(process.handle), &status, 0);
    process.handle = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void kill_now(Process &process)
{
    kill(static_cast<pid_t>(process.handle), SIGKILL);
    wait_for(process);
}

void sleep_ms(int ms)
{
    timespec delay{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&delay, nullptr);
}

} // namespace test_host

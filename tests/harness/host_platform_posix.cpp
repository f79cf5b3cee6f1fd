#include "host_platform.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace host_platform {

std::string library_path() { return ZORVA_LIBRARY_PATH; }

void *load_library(const std::string &path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void *find_function(void *library, const char *name) { return dlsym(library, name); }

void *find_ordinal(void *, int) { return nullptr; }

// The tests run with LD_LIBRARY_PATH naming the slot folder, so the
// library's dlopen("MAPI32.DLL") finds whatever the slot's link points at.
void select_provider(Provider provider)
{
    std::string slot = std::string(ZORVA_PROVIDER_SLOT) + "/MAPI32.DLL";
    unlink(slot.c_str());
    if (provider == Provider::None) {
        return;
    }
    std::string target = provider == Provider::Ours ? std::string(ZORVA_PROVIDER_AS_MAPI32) + "/MAPI32.DLL"
                         : provider == Provider::Full
                             ? std::string(ZORVA_PROVIDERS_DIR) + "/full/MAPI32.DLL"
                             : std::string(ZORVA_PROVIDERS_DIR) + "/without_details/MAPI32.DLL";
    if (symlink(target.c_str(), slot.c_str()) != 0) {
        throw std::runtime_error("cannot link " + slot);
    }
}

void set_environment(const std::string &name, const std::string &value)
{
    setenv(name.c_str(), value.c_str(), 1);
}

namespace {
FILE *capture_file = nullptr;
int saved_stdout = -1;
} // namespace

void start_capture()
{
    std::fflush(stdout);
    capture_file = std::tmpfile();
    saved_stdout = dup(fileno(stdout));
    dup2(fileno(capture_file), fileno(stdout));
}

std::string stop_capture()
{
    std::fflush(stdout);
    dup2(saved_stdout, fileno(stdout));
    close(saved_stdout);
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

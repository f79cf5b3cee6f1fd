#include "library_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace zorva_cli {

const char *const kLibraryFileName = "libzorva_mapi.so";
const char *const kProviderLibraryFileName = "libzorva_provider.so";

void *load_library(const std::string &path, std::string *error)
{
    void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char *reason = dlerror();
        *error = reason != nullptr ? reason : "dlopen failed";
    }
    return library;
}

void *find_function(void *library, const char *name) { return dlsym(library, name); }

void free_library(void *library) { dlclose(library); }

std::string program_folder()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    std::string text(path, static_cast<size_t>(length));
    return text.substr(0, text.find_last_of('/'));
}

std::string path_in_folder(const std::string &folder, const std::string &file)
{
    return folder + "/" + file;
}

} // namespace zorva_cli

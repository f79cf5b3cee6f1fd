#include "smtp_host.h"

#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>

namespace smtp_host {

// The tests run with LD_LIBRARY_PATH naming the folder of the copy.
void use_our_provider() {}

std::string provider_path() { return std::string(ZORVA_PROVIDER_AS_MAPI32) + "/MAPI32.DLL"; }

std::string server_folder()
{
    const char *folder = std::getenv("ZORVA_SMTP_TEST_SERVER");
    if (folder == nullptr) {
        throw std::runtime_error("ZORVA_SMTP_TEST_SERVER is not set");
    }
    return folder;
}

void free_library(void *library) { dlclose(library); }

} // namespace smtp_host

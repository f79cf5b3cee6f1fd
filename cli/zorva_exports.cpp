#include "zorva_exports.h"

#include <cstring>

#include "library_loader.h"

namespace zorva_cli {

namespace {

template <typename Function>
bool find(void *library, const char *name, Function *function, std::string *error)
{
    void *address = find_function(library, name);
    if (address == nullptr) {
        *error = std::string("it does not export ") + name;
        return false;
    }
    std::memcpy(function, &address, sizeof *function);
    return true;
}

} // namespace

bool load_zorva_exports(const std::string &path, ZorvaExports *exports, std::string *error)
{
    *exports = ZorvaExports{};
    void *library = load_library(path, error);
    if (library == nullptr) {
        return false;
    }
    ZorvaExports found;
    found.library = library;
    if (!find(library, "ADDRESSBOOK", &found.ADDRESSBOOK, error) ||
        !find(library, "GETMAIL", &found.GETMAIL, error) ||
        !find(library, "INBOX", &found.INBOX, error) ||
        !find(library, "SENDMAIL", &found.SENDMAIL, error) ||
        !find(library, "mapi_version", &found.mapi_version, error)) {
        free_library(library);
        return false;
    }
    *exports = found;
    return true;
}

void unload_zorva_exports(ZorvaExports *exports)
{
    if (exports->library != nullptr) {
        free_library(exports->library);
    }
    *exports = ZorvaExports{};
}

} // namespace zorva_cli

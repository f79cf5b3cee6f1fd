#include "zorva_library.h"

#include <cstring>
#include <stdexcept>

#include "host_platform.h"

namespace {

template <typename Fn> Fn find(void *module, const char *name)
{
    void *address = host_platform::find_function(module, name);
    if (address == nullptr) {
        throw std::runtime_error(std::string("export missing: ") + name);
    }
    Fn function;
    std::memcpy(&function, &address, sizeof function);
    return function;
}

ZorvaLibrary load()
{
    ZorvaLibrary library;
    library.module = host_platform::load_library(host_platform::library_path());
    if (library.module == nullptr) {
        throw std::runtime_error("cannot load " + host_platform::library_path());
    }
    library.ADDRESSBOOK = find<ZorvaAddressBookFn>(library.module, "ADDRESSBOOK");
    library.GETMAIL = find<ZorvaGetMailFn>(library.module, "GETMAIL");
    library.INBOX = find<ZorvaInboxFn>(library.module, "INBOX");
    library.SENDMAIL = find<ZorvaSendMailFn>(library.module, "SENDMAIL");
    library.mapi_version = find<ZorvaVersionFn>(library.module, "mapi_version");
    return library;
}

} // namespace

const ZorvaLibrary &zorva()
{
    static const ZorvaLibrary library = load();
    return library;
}

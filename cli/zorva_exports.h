// zorva_mapi's five exports as zorva-mail calls them: loaded at run time
// and called through cdecl function pointers found by their plain names.
#ifndef ZORVA_CLI_ZORVA_EXPORTS_H
#define ZORVA_CLI_ZORVA_EXPORTS_H

#include <string>

#include "host/export_pointers.h"

namespace zorva_cli {

struct ZorvaExports {
    void *library = nullptr;
    ZorvaAddressBookFn ADDRESSBOOK = nullptr;
    ZorvaGetMailFn GETMAIL = nullptr;
    ZorvaInboxFn INBOX = nullptr;
    ZorvaSendMailFn SENDMAIL = nullptr;
    ZorvaVersionFn mapi_version = nullptr;
};

// Loads the library at `path` and finds all five exports. On failure the
// library is released again and *error says what was wrong.
bool load_zorva_exports(const std::string &path, ZorvaExports *exports, std::string *error);
void unload_zorva_exports(ZorvaExports *exports);

} // namespace zorva_cli

#endif

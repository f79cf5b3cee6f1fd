// zorva_mapi's five exports as zorva-mail calls them: loaded at run time
// and called through cdecl function pointers found by their plain names.
#ifndef ZORVA_CLI_ZORVA_EXPORTS_H
#define ZORVA_CLI_ZORVA_EXPORTS_H

#include <string>

#include "platform/abi.h"

namespace zorva_cli {

using AddressBookFunction = int(ZORVA_CDECL *)(char *profile, char *password,
                                               char *initial_recipients, char *recipients_out);
using GetMailFunction = int(ZORVA_CDECL *)(char *message_id, char *profile, char *password,
                                           char *ignored4, char *report, char *ignored6,
                                           char *mode, char *unread_only, char *new_subject);
using InboxFunction = int(ZORVA_CDECL *)(char *profile, char *password);
using SendMailFunction = int(ZORVA_CDECL *)(char *profile, char *password, char *recipients,
                                            char *subject, char *note_text, char *attachments);
using VersionFunction = void(ZORVA_CDECL *)(char *version);

struct ZorvaExports {
    void *library = nullptr;
    AddressBookFunction ADDRESSBOOK = nullptr;
    GetMailFunction GETMAIL = nullptr;
    InboxFunction INBOX = nullptr;
    SendMailFunction SENDMAIL = nullptr;
    VersionFunction mapi_version = nullptr;
};

// Loads the library at `path` and finds all five exports. On failure the
// library is released again and *error says what was wrong.
bool load_zorva_exports(const std::string &path, ZorvaExports *exports, std::string *error);
void unload_zorva_exports(ZorvaExports *exports);

} // namespace zorva_cli

#endif

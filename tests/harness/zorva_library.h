// The library under test as a host sees it: loaded at run time and called
// through cdecl function pointers found by name.
#ifndef ZORVA_TESTS_ZORVA_LIBRARY_H
#define ZORVA_TESTS_ZORVA_LIBRARY_H

#include "platform/abi.h"

using AddressBookFn = int(ZORVA_CDECL *)(char *, char *, char *, char *);
using GetMailFn = int(ZORVA_CDECL *)(char *, char *, char *, char *, char *, char *, char *,
                                     char *, char *);
using InboxFn = int(ZORVA_CDECL *)(char *, char *);
using SendMailFn = int(ZORVA_CDECL *)(char *, char *, char *, char *, char *, char *);
using VersionFn = void(ZORVA_CDECL *)(char *);

struct ZorvaLibrary {
    void *module = nullptr;
    AddressBookFn ADDRESSBOOK = nullptr;
    GetMailFn GETMAIL = nullptr;
    InboxFn INBOX = nullptr;
    SendMailFn SENDMAIL = nullptr;
    VersionFn mapi_version = nullptr;
};

// Loads the library once per process and finds its five exports; a test
// fails at once if any is missing.
const ZorvaLibrary &zorva();

#endif

// The library under test as a host sees it: loaded at run time and called
// through cdecl function pointers found by name.
#ifndef ZORVA_TESTS_ZORVA_LIBRARY_H
#define ZORVA_TESTS_ZORVA_LIBRARY_H

#include "host/export_pointers.h"

struct ZorvaLibrary {
    void *module = nullptr;
    ZorvaAddressBookFn ADDRESSBOOK = nullptr;
    ZorvaGetMailFn GETMAIL = nullptr;
    ZorvaInboxFn INBOX = nullptr;
    ZorvaSendMailFn SENDMAIL = nullptr;
    ZorvaVersionFn mapi_version = nullptr;
};

// Loads the library once per process and finds its five exports; a test
// fails at once if any is missing.
const ZorvaLibrary &zorva();

#endif

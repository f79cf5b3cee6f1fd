#include "mapi_binding.h"

#include <string.h>

MapiEntryTable mapi_entries;

/* Looks up one entry point; the caller stops at the first that is missing. */
#define BIND_ENTRY(field, type, name)                                                  \
    do {                                                                               \
        mapi_entries.field = (type)platform_find_function(mapi_entries.module, name); \
        if (mapi_entries.field == 0) {                                                 \
            mapi_unbind();                                                             \
            return MAPI_BIND_NO_ENTRY_POINT;                                           \
        }                                                                              \
    } while (0)

int mapi_bind(void)
{
    mapi_entries.module = platform_load_library(MAPI_PROVIDER_FILE);
    if (mapi_entries.module < MAPI_BIND_LOWEST_HANDLE) {
        return MAPI_BIND_NO_LIBRARY;
    }

    BIND_ENTRY(logon, LPMAPILOGON, "MAPILogon");
    BIND_ENTRY(logoff, LPMAPILOGOFF, "MAPILogoff");
    BIND_ENTRY(send_mail, LPMAPISENDMAIL, "MAPISendMail");
    BIND_ENTRY(send_documents, LPMAPISENDDOCUMENTS, "MAPISendDocuments");
    BIND_ENTRY(find_next, LPMAPIFINDNEXT, "MAPIFindNext");
    BIND_ENTRY(read_mail, LPMAPIREADMAIL, "MAPIReadMail");
    BIND_ENTRY(save_mail, LPMAPISAVEMAIL, "MAPISaveMail");
    BIND_ENTRY(delete_mail, LPMAPIDELETEMAIL, "MAPIDeleteMail");
    BIND_ENTRY(free_buffer, LPMAPIFREEBUFFER, "MAPIFreeBuffer");
    BIND_ENTRY(address, LPMAPIADDRESS, "MAPIAddress");
    BIND_ENTRY(details, LPMAPIDETAILS, "MAPIDetails");
    BIND_ENTRY(resolve_name, LPMAPIRESOLVENAME, "MAPIResolveName");
    return MAPI_BIND_OK;
}

int mapi_unbind(void)
{
    LibraryHandle module = mapi_entries.module;
    memset(&mapi_entries, 0, sizeof mapi_entries);
    if (module >= MAPI_BIND_LOWEST_HANDLE) {
        platform_free_library(module);
    }
    return 0;
}

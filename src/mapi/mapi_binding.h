/* The binding to the machine's Simple MAPI provider and the frame every
 * mail function runs in: bind, log on, work, log off, release. */
#ifndef ZORVA_MAPI_MAPI_BINDING_H
#define ZORVA_MAPI_MAPI_BINDING_H

#include "../platform/library_loader.h"
#include "simple_mapi.h"

/* The provider library's file name, searched the platform's usual way. */
#define MAPI_PROVIDER_FILE "MAPI32.DLL"

/* mapi_bind results. */
#define MAPI_BIND_OK 0
#define MAPI_BIND_NO_LIBRARY 2
#define MAPI_BIND_NO_ENTRY_POINT 4

/* Handles below this value are loader errors, as LoadLibrary once returned them. */
#define MAPI_BIND_LOWEST_HANDLE 32

/* MAPILogon flags of every session: a dialog if needed, never a shared session. */
#define MAPI_FRAME_LOGON_FLAGS (MAPI_LOGON_UI | MAPI_NEW_SESSION)

/* The provider's module handle and its twelve entry points, in binding order. */
typedef struct MapiEntryTable {
    LibraryHandle module;
    LPMAPILOGON logon;
    LPMAPILOGOFF logoff;
    LPMAPISENDMAIL send_mail;
    LPMAPISENDDOCUMENTS send_documents;
    LPMAPIFINDNEXT find_next;
    LPMAPIREADMAIL read_mail;
    LPMAPISAVEMAIL save_mail;
    LPMAPIDELETEMAIL delete_mail;
    LPMAPIFREEBUFFER free_buffer;
    LPMAPIADDRESS address;
    LPMAPIDETAILS details;
    LPMAPIRESOLVENAME resolve_name;
} MapiEntryTable;

/* Process-wide; one mail function runs at a time. */
extern MapiEntryTable mapi_entries;

/* Loads the provider and finds all twelve entry points. Returns
 * MAPI_BIND_OK, MAPI_BIND_NO_LIBRARY or MAPI_BIND_NO_ENTRY_POINT; on a
 * missing entry point the provider is released again. */
int mapi_bind(void);

/* Forgets the entry points and releases the provider. Returns 0. */
int mapi_unbind(void);

/* Frame steps 1 and 2: binds and logs on with the host's profile and
 * password. Returns 0 with *session set, or -1 after printing the binding
 * or logon text (nothing is left bound). */
int mapi_frame_open(char *profile, char *password, MapiHandle *session);

/* Frame steps 4 and 5: logs off and unbinds. Returns 0, or -1 after
 * printing logoff_text when the logoff fails. */
int mapi_frame_close(MapiHandle session, const char *logoff_text);

#endif

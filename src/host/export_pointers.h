/* The five exports as a host holds them after loading the library at run
 * time and finding each function by its plain name (see exports.h for what
 * they do). For C and C++ hosts alike; used by zorva-mail and the tests. */
#ifndef ZORVA_HOST_EXPORT_POINTERS_H
#define ZORVA_HOST_EXPORT_POINTERS_H

#include "../platform/abi.h"

typedef int(ZORVA_CDECL *ZorvaAddressBookFn)(char *profile, char *password, char *initial_recipients,
                                              char *recipients_out);
typedef int(ZORVA_CDECL *ZorvaGetMailFn)(char *message_id, char *profile, char *password, char *ignored4,
                                          char *report, char *ignored6, char *mode, char *unread_only,
                                          char *new_subject);
typedef int(ZORVA_CDECL *ZorvaInboxFn)(char *profile, char *password);
typedef int(ZORVA_CDECL *ZorvaSendMailFn)(char *profile, char *password, char *recipients, char *subject,
                                           char *note_text, char *attachments);
typedef void(ZORVA_CDECL *ZorvaVersionFn)(char *version);

#endif

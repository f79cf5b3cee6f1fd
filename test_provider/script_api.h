// The scripting interface of the test provider.
//
// The provider is two libraries: MAPI32.DLL, a thin shim that exports the
// twelve Simple MAPI functions and counts its own loads, and mapi_script,
// which holds every piece of state and outlives the shim's loads. Tests link
// mapi_script and script it through these C functions; the shim forwards
// each MAPI call to the tp_MAPI* implementations below.
#ifndef ZORVA_TEST_PROVIDER_SCRIPT_API_H
#define ZORVA_TEST_PROVIDER_SCRIPT_API_H

#include "mapi/simple_mapi.h"

#if defined(_WIN32)
#define TP_API __declspec(dllexport)
#else
#define TP_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Forgets everything: store, log, failures, selections and counts.
TP_API void tp_reset(void);

// Counts. A load or unload is one attach or detach of MAPI32.DLL.
TP_API int tp_loads(void);
TP_API int tp_unloads(void);
TP_API int tp_sessions_opened(void);
// Sessions logged on and not yet logged off (a failing logoff still closes).
TP_API int tp_sessions_open(void);
// Buffers handed out by MAPIReadMail or MAPIAddress and not yet freed.
TP_API int tp_buffers_outstanding(void);
// Calls made to one MAPI function, by its exported name.
TP_API int tp_call_count(const char *function);

// The call log: one line per MAPI call with every argument, in call order.
TP_API int tp_log_size(void);
TP_API const char *tp_log_entry(int index);

// Stops (0) or resumes (non-zero) logging calls; they are still counted.
TP_API void tp_log_calls(int on);

// Makes MAPIFindNext answer every seed as if it were empty, as some desktop
// mail clients do.
TP_API void tp_find_ignores_seed(int on);

// Makes a MAPI function return `code`: on every call when nth is 0,
// otherwise only on its nth call (1-based) from now on. A failing call
// has no other effect.
TP_API void tp_fail(const char *function, MapiULong code, int nth);

// The message store, in arrival order.
TP_API void tp_store_add(const char *id, const MapiMessage *message, int unread);
TP_API int tp_store_size(void);
TP_API const char *tp_store_id(int index);
TP_API const MapiMessage *tp_store_message(int index);
TP_API int tp_store_unread(int index);

// Messages handed to MAPISendMail, copied deeply as they were received.
TP_API int tp_sent_count(void);
TP_API const MapiMessage *tp_sent_message(int index);
TP_API MapiULong tp_sent_flags(int index);

// MAPIAddress: the records the next dialogs return (a copy is kept), and
// the initial records of the last call, as received.
TP_API void tp_address_selection(const MapiRecipDesc *recipients, MapiULong count);
TP_API int tp_address_initial_count(void);
TP_API const MapiRecipDesc *tp_address_initial(int index);

// Called by the shim.
TP_API void tp_on_load(void);
TP_API void tp_on_unload(void);

TP_API MapiULong tp_MAPILogon(MapiHandle ui, char *profile, char *password, MapiULong flags,
                              MapiULong reserved, MapiHandle *session);
TP_API MapiULong tp_MAPILogoff(MapiHandle session, MapiHandle ui, MapiULong flags,
                               MapiULong reserved);
TP_API MapiULong tp_MAPISendMail(MapiHandle session, MapiHandle ui, MapiMessage *message,
                                 MapiULong flags, MapiULong reserved);
TP_API MapiULong tp_MAPISendDocuments(MapiHandle ui, char *delimiter, char *paths, char *names,
                                      MapiULong reserved);
TP_API MapiULong tp_MAPIFindNext(MapiHandle session, MapiHandle ui, char *message_type,
                                 char *seed, MapiULong flags, MapiULong reserved,
                                 char *message_id);
TP_API MapiULong tp_MAPIReadMail(MapiHandle session, MapiHandle ui, char *message_id,
                                 MapiULong flags, MapiULong reserved, MapiMessage **message);
TP_API MapiULong tp_MAPISaveMail(MapiHandle session, MapiHandle ui, MapiMessage *message,
                                 MapiULong flags, MapiULong reserved, char *message_id);
TP_API MapiULong tp_MAPIDeleteMail(MapiHandle session, MapiHandle ui, char *message_id,
                                   MapiULong flags, MapiULong reserved);
TP_API MapiULong tp_MAPIFreeBuffer(void *buffer);
TP_API MapiULong tp_MAPIAddress(MapiHandle session, MapiHandle ui, char *caption,
                                MapiULong edit_fields, char *labels, MapiULong count,
                                MapiRecipDesc *recipients, MapiULong flags, MapiULong reserved,
                                MapiULong *new_count, MapiRecipDesc **new_recipients);
TP_API MapiULong tp_MAPIDetails(MapiHandle session, MapiHandle ui, MapiRecipDesc *recipient,
                                MapiULong flags, MapiULong reserved);
TP_API MapiULong tp_MAPIResolveName(MapiHandle session, MapiHandle ui, char *name,
                                    MapiULong flags, MapiULong reserved,
                                    MapiRecipDesc **recipient);

#ifdef __cplusplus
}
#endif

#endif

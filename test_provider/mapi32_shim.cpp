// MAPI32.DLL of the test provider: exports the twelve Simple MAPI functions
// by their plain names (stdcall on Windows) and forwards each to
// mapi_script, which keeps the state across this library's loads. Every
// attach and detach is counted there, so tests see each load released.
#include "script_api.h"

#if defined(_WIN32)
#include <windows.h>
#define SHIM_EXPORT extern "C" __declspec(dllexport)
#else
#define SHIM_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(_WIN32)
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        tp_on_load();
    } else if (reason == DLL_PROCESS_DETACH) {
        tp_on_unload();
    }
    return TRUE;
}
#else
__attribute__((constructor)) static void shim_loaded() { tp_on_load(); }
__attribute__((destructor)) static void shim_unloaded() { tp_on_unload(); }
#endif

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPILogon(MapiHandle ui, char *profile, char *password,
                                              MapiULong flags, MapiULong reserved,
                                              MapiHandle *session)
{
    return tp_MAPILogon(ui, profile, password, flags, reserved, session);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPILogoff(MapiHandle session, MapiHandle ui, MapiULong flags,
                                               MapiULong reserved)
{
    return tp_MAPILogoff(session, ui, flags, reserved);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPISendMail(MapiHandle session, MapiHandle ui,
                                                 MapiMessage *message, MapiULong flags,
                                                 MapiULong reserved)
{
    return tp_MAPISendMail(session, ui, message, flags, reserved);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPISendDocuments(MapiHandle ui, char *delimiter, char *paths,
                                                      char *names, MapiULong reserved)
{
    return tp_MAPISendDocuments(ui, delimiter, paths, names, reserved);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPIFindNext(MapiHandle session, MapiHandle ui,
                                                 char *message_type, char *seed, MapiULong flags,
                                                 MapiULong reserved, char *message_id)
{
    return tp_MAPIFindNext(session, ui, message_type, seed, flags, reserved, message_id);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPIReadMail(MapiHandle session, MapiHandle ui,
                                                 char *message_id, MapiULong flags,
                                                 MapiULong reserved, MapiMessage **message)
{
    return tp_MAPIReadMail(session, ui, message_id, flags, reserved, message);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPISaveMail(MapiHandle session, MapiHandle ui,
                                                 MapiMessage *message, MapiULong flags,
                                                 MapiULong reserved, char *message_id)
{
    return tp_MAPISaveMail(session, ui, message, flags, reserved, message_id);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPIDeleteMail(MapiHandle session, MapiHandle ui,
                                                   char *message_id, MapiULong flags,
                                                   MapiULong reserved)
{
    return tp_MAPIDeleteMail(session, ui, message_id, flags, reserved);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPIFreeBuffer(void *buffer)
{
    return tp_MAPIFreeBuffer(buffer);
}

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPIAddress(MapiHandle session, MapiHandle ui, char *caption,
                                                MapiULong edit_fields, char *labels,
                                                MapiULong count, MapiRecipDesc *recipients,
                                                MapiULong flags, MapiULong reserved,
                                                MapiULong *new_count,
                                                MapiRecipDesc **new_recipients)
{
    return tp_MAPIAddress(session, ui, caption, edit_fields, labels, count, recipients, flags,
                          reserved, new_count, new_recipients);
}

#if !defined(TP_WITHOUT_MAPIDETAILS)
SHIM_EXPORT MapiULong ZORVA_STDCALL MAPIDetails(MapiHandle session, MapiHandle ui,
                                                MapiRecipDesc *recipient, MapiULong flags,
                                                MapiULong reserved)
{
    return tp_MAPIDetails(session, ui, recipient, flags, reserved);
}
#endif

SHIM_EXPORT MapiULong ZORVA_STDCALL MAPIResolveName(MapiHandle session, MapiHandle ui, char *name,
                                                    MapiULong flags, MapiULong reserved,
                                                    MapiRecipDesc **recipient)
{
    return tp_MAPIResolveName(session, ui, name, flags, reserved, recipient);
}

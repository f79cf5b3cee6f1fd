// The provider's twelve Simple MAPI functions and our ZorvaRetryOutbox,
// exported stdcall by their plain names. Each runs its work inside a
// barrier: no exception ever crosses into the host, and running out of
// memory is reported as such.
#include <new>

#include "handout.h"
#include "mapi/simple_mapi.h"
#include "mapi_operations.h"
#include "sessions.h"

#if defined(_WIN32)
#define PROVIDER_EXPORT extern "C" __declspec(dllexport)
#else
#define PROVIDER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

template <typename Work> MapiULong barrier(Work work) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return MAPI_E_INSUFFICIENT_MEMORY;
    } catch (...) {
        return MAPI_E_FAILURE;
    }
}

} // namespace

// Opens a session on a profile. in: profile name, password, flags; out: *session.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPILogon(MapiHandle ui, char *profile, char *password, MapiULong flags,
                                                  MapiULong reserved, MapiHandle *session)
{
    (void)ui;
    (void)reserved;
    return barrier([&] { return provider::logon(profile, password, flags, session); });
}

// Closes a session. in: session.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPILogoff(MapiHandle session, MapiHandle ui, MapiULong flags,
                                                   MapiULong reserved)
{
    (void)ui;
    (void)flags;
    (void)reserved;
    return barrier([&] { return provider::logoff(session); });
}

// Sends a message. in: session (0 for the default profile), message, flags.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPISendMail(MapiHandle session, MapiHandle ui, MapiMessage *message,
                                                     MapiULong flags, MapiULong reserved)
{
    (void)ui;
    (void)reserved;
    return barrier([&] { return provider::send_mail(session, message, flags); });
}

// Would open a compose dialog with files; there is no dialog.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPISendDocuments(MapiHandle ui, char *delimiter, char *paths, char *names,
                                                          MapiULong reserved)
{
    (void)ui;
    (void)delimiter;
    (void)paths;
    (void)names;
    (void)reserved;
    return MAPI_E_NOT_SUPPORTED;
}

// Finds the first message, or the one after the seed. in: session, type,
// seed, flags; out: message_id (at least 64 bytes).
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPIFindNext(MapiHandle session, MapiHandle ui, char *message_type,
                                                     char *seed, MapiULong flags, MapiULong reserved,
                                                     char *message_id)
{
    (void)ui;
    (void)reserved;
    return barrier([&] { return provider::find_next(session, message_type, seed, flags, message_id); });
}

// Reads a message. in: session, ID, flags; out: *message, freed with MAPIFreeBuffer.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPIReadMail(MapiHandle session, MapiHandle ui, char *message_id,
                                                     MapiULong flags, MapiULong reserved, MapiMessage **message)
{
    (void)ui;
    (void)reserved;
    return barrier([&] { return provider::read_mail(session, message_id, flags, message); });
}

// Saves a message: a new one for an empty ID (written back), else replaces it.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPISaveMail(MapiHandle session, MapiHandle ui, MapiMessage *message,
                                                     MapiULong flags, MapiULong reserved, char *message_id)
{
    (void)ui;
    (void)reserved;
    return barrier([&] { return provider::save_mail(session, message, flags, message_id); });
}

// Deletes a message. in: session, ID.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPIDeleteMail(MapiHandle session, MapiHandle ui, char *message_id,
                                                       MapiULong flags, MapiULong reserved)
{
    (void)ui;
    (void)flags;
    (void)reserved;
    return barrier([&] { return provider::delete_mail(session, message_id); });
}

// Releases a block the provider handed out; refuses any other pointer.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPIFreeBuffer(void *buffer)
{
    return barrier([&] { return provider::release_handout(buffer); });
}

// Resolves the given recipients against the address book (no dialog).
// out: *new_count, *new_recipients, freed with MAPIFreeBuffer.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPIAddress(MapiHandle session, MapiHandle ui, char *caption,
                                                    MapiULong edit_fields, char *labels, MapiULong count,
                                                    MapiRecipDesc *recipients, MapiULong flags,
                                                    MapiULong reserved, MapiULong *new_count,
                                                    MapiRecipDesc **new_recipients)
{
    (void)ui;
    (void)caption;
    (void)labels;
    (void)reserved;
    return barrier([&] {
        return provider::address(session, edit_fields, count, recipients, flags, new_count, new_recipients);
    });
}

// Would show a recipient's details in a dialog; there is no dialog.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPIDetails(MapiHandle session, MapiHandle ui, MapiRecipDesc *recipient,
                                                    MapiULong flags, MapiULong reserved)
{
    (void)ui;
    (void)reserved;
    return barrier([&] { return provider::details(session, recipient, flags); });
}

// Resolves one name against the address book. out: *recipient, freed with MAPIFreeBuffer.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL MAPIResolveName(MapiHandle session, MapiHandle ui, char *name,
                                                        MapiULong flags, MapiULong reserved,
                                                        MapiRecipDesc **recipient)
{
    (void)ui;
    (void)reserved;
    return barrier([&] { return provider::resolve_name(session, name, flags, recipient); });
}

// Sends what waits in the outbox; zorva_outbox.h describes it.
PROVIDER_EXPORT MapiULong ZORVA_STDCALL ZorvaRetryOutbox(MapiHandle session, MapiULong flags, char *report,
                                                         MapiULong report_size)
{
    return barrier([&] { return provider::retry_outbox(session, flags, report, report_size); });
}

// MAPISendMail: a message composed from the host's record, delivered into
// the profile's own inbox for its own address and handed to deliver() for
// every other one.
#include "mail_address.h"
#include "mapi_operations.h"
#include "outbox.h"
#include "outgoing_mail.h"
#include "recipients.h"
#include "sessions.h"

namespace provider {

MapiULong send_mail(MapiHandle session_handle, const MapiMessage *record, MapiULong flags)
{
    if (record == nullptr) {
        return MAPI_E_FAILURE;
    }
    if ((flags & MAPI_DIALOG) != 0) {
        return MAPI_E_NOT_SUPPORTED; // there is no dialog to show
    }
    SessionUse use;
    MapiULong result = use.begin(session_handle, true);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    Session &session = use.session();

    OutgoingMessage message = new_outgoing_message(session.profile);
    result = resolve_recipients(record->lpRecips, record->nRecipCount, session.address_book(), message.recipients);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    if (message.recipients.empty()) {
        return MAPI_E_INVALID_RECIPS;
    }
    result = check_attachments(record->lpFiles, record->nFileCount, message.attachments);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    message.subject = record->lpszSubject != nullptr ? record->lpszSubject : "";
    message.note_text = record->lpszNoteText != nullptr ? record->lpszNoteText : "";
    message.receipt_requested = (record->flFlags & MAPI_RECEIPT_REQUESTED) != 0;

    bool local = false;
    std::vector<std::string> remote;
    for (const OutgoingRecipient &recipient : message.recipients) {
        if (same_address(recipient.address, session.profile.user_address)) {
            local = true;
            continue;
        }
        bool listed = false;
        for (const std::string &address : remote) {
            listed = listed || same_address(address, recipient.address);
        }
        if (!listed) {
            remote.push_back(recipient.address);
        }
    }
    // Others first. When that fails before the message is queued, nothing
    // has been delivered at all and the host may send it again. Once it is
    // queued a retry sends it, so the own copy is delivered as well and the
    // host still hears of the failure.
    MapiULong remote_result = SUCCESS_SUCCESS;
    if (!remote.empty()) {
        bool queued = false;
        remote_result = deliver(session.store, session.profile, message, remote, queued);
        if (remote_result != SUCCESS_SUCCESS && !queued) {
            return remote_result;
        }
    }
    if (local) {
        result = deliver_local(session.store, session.profile, message);
    }
    return remote_result != SUCCESS_SUCCESS ? remote_result : result;
}

} // namespace provider

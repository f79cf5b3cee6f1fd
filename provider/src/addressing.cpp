// MAPIAddress, MAPIResolveName and MAPIDetails, without dialogs: names are
// resolved against the profile's address book.
#include "handout.h"
#include "mail_address.h"
#include "mapi_operations.h"
#include "mime_headers.h"
#include "recipients.h"
#include "sessions.h"

namespace provider {

namespace {

// The published limit of MAPIAddress's edit fields.
const MapiULong kMostEditFields = 4;

} // namespace

MapiULong address(MapiHandle session_handle, MapiULong edit_fields, MapiULong count, const MapiRecipDesc *records,
                  MapiULong flags, MapiULong *new_count, MapiRecipDesc **new_recipients)
{
    (void)flags; // logon and dialog flags: there is no dialog
    if (new_count == nullptr || new_recipients == nullptr) {
        return MAPI_E_FAILURE;
    }
    *new_count = 0;
    *new_recipients = nullptr;
    if (edit_fields > kMostEditFields) {
        return MAPI_E_INVALID_EDITFIELDS;
    }
    SessionUse use;
    MapiULong result = use.begin(session_handle, true);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::vector<OutgoingRecipient> resolved;
    result = resolve_recipients(records, count, use.session().address_book(), resolved);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    // No edit fields: the book is only browsed, and nothing is chosen.
    std::vector<RecipientOut> chosen;
    if (edit_fields > 0) {
        for (MapiULong recip_class : {MAPI_TO, MAPI_CC, MAPI_BCC}) {
            for (const OutgoingRecipient &recipient : resolved) {
                if (recipient.recip_class == recip_class) {
                    chosen.push_back(recipient_out(recipient));
                }
            }
        }
    }
    MapiRecipDesc *handed = hand_out_recipients(chosen);
    if (handed == nullptr) {
        return MAPI_E_INSUFFICIENT_MEMORY;
    }
    *new_count = static_cast<MapiULong>(chosen.size());
    *new_recipients = handed;
    return SUCCESS_SUCCESS;
}

MapiULong resolve_name(MapiHandle session_handle, const char *name, MapiULong flags, MapiRecipDesc **recipient)
{
    (void)flags; // no dialog to offer a choice between ambiguous names
    if (recipient == nullptr) {
        return MAPI_E_FAILURE;
    }
    *recipient = nullptr;
    SessionUse use;
    MapiULong result = use.begin(session_handle, true);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    if (name == nullptr || trim_blanks(name).empty()) {
        return MAPI_E_UNKNOWN_RECIPIENT;
    }
    MapiRecipDesc record{};
    record.ulRecipClass = MAPI_TO;
    std::string given = name;
    record.lpszName = &given[0];
    std::vector<OutgoingRecipient> resolved;
    result = resolve_recipients(&record, 1, use.session().address_book(), resolved);
    if (result != SUCCESS_SUCCESS) {
        return result == MAPI_E_INVALID_RECIPS ? MAPI_E_UNKNOWN_RECIPIENT : result;
    }
    MapiRecipDesc *handed = hand_out_recipients({recipient_out(resolved.front())});
    if (handed == nullptr) {
        return MAPI_E_INSUFFICIENT_MEMORY;
    }
    *recipient = handed;
    return SUCCESS_SUCCESS;
}

MapiULong details(MapiHandle session_handle, const MapiRecipDesc *recipient, MapiULong flags)
{
    (void)flags;
    SessionUse use;
    MapiULong result = use.begin(session_handle, true);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    if (recipient == nullptr) {
        return MAPI_E_INVALID_RECIPS;
    }
    // MAPIDetails shows a dialog about one recipient; there is none to show.
    return MAPI_E_NOT_SUPPORTED;
}

} // namespace provider

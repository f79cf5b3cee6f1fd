#include "recipients.h"

#include "mail_address.h"
#include "mime_headers.h"

namespace provider {

namespace {

MapiULong resolve_one(const MapiRecipDesc &record, const AddressBook &book, OutgoingRecipient &recipient)
{
    if (record.ulRecipClass != MAPI_TO && record.ulRecipClass != MAPI_CC && record.ulRecipClass != MAPI_BCC) {
        return MAPI_E_BAD_RECIPTYPE;
    }
    recipient.recip_class = record.ulRecipClass;
    std::string name = record.lpszName != nullptr ? trim_blanks(record.lpszName) : std::string();
    std::string address = record.lpszAddress != nullptr ? strip_address_type(record.lpszAddress) : std::string();
    if (address.empty()) {
        address_from_entry_id(record.lpEntryID, record.ulEIDSize, address);
    }
    if (!address.empty()) {
        if (!is_valid_address(address)) {
            return MAPI_E_INVALID_RECIPS;
        }
        recipient.address = address;
        recipient.name = name;
        if (recipient.name.empty()) {
            const AddressEntry *known = find_address(book, address);
            recipient.name = known != nullptr ? known->name : std::string();
        }
        return SUCCESS_SUCCESS;
    }
    if (name.empty()) {
        return MAPI_E_INVALID_RECIPS;
    }
    AddressEntry entry;
    switch (resolve_name(book, name, entry)) {
    case Resolution::Found:
        recipient.name = entry.name;
        recipient.address = entry.address;
        return SUCCESS_SUCCESS;
    case Resolution::Ambiguous:
        return MAPI_E_AMBIGUOUS_RECIPIENT;
    case Resolution::NotFound:
        break;
    }
    // A name that is an address itself needs no book.
    std::string as_address = strip_address_type(name);
    if (is_valid_address(as_address)) {
        recipient.address = as_address;
        recipient.name.clear();
        return SUCCESS_SUCCESS;
    }
    return MAPI_E_UNKNOWN_RECIPIENT;
}

} // namespace

MapiULong resolve_recipients(const MapiRecipDesc *records, MapiULong count, const AddressBook &book,
                             std::vector<OutgoingRecipient> &resolved)
{
    resolved.clear();
    if (count > kMostRecipients) {
        return MAPI_E_TOO_MANY_RECIPIENTS;
    }
    if (count > 0 && records == nullptr) {
        return MAPI_E_INVALID_RECIPS;
    }
    for (MapiULong i = 0; i < count; ++i) {
        OutgoingRecipient recipient;
        MapiULong result = resolve_one(records[i], book, recipient);
        if (result != SUCCESS_SUCCESS) {
            resolved.clear();
            return result;
        }
        resolved.push_back(recipient);
    }
    return SUCCESS_SUCCESS;
}

RecipientOut recipient_out(const OutgoingRecipient &recipient)
{
    RecipientOut out;
    out.recip_class = recipient.recip_class;
    out.name = recipient.name.empty() ? recipient.address : recipient.name;
    out.address = recipient.address;
    out.entry_id = entry_id_for(recipient.address);
    return out;
}

} // namespace provider

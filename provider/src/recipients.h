// Recipients as a host hands them over, checked and resolved: an address
// (with or without its "SMTP:" type), one of our entry identifiers, or a
// name looked up in the profile's address book.
#ifndef ZORVA_PROVIDER_RECIPIENTS_H
#define ZORVA_PROVIDER_RECIPIENTS_H

#include <vector>

#include "address_book.h"
#include "handout.h"
#include "mail_composer.h"
#include "mapi/simple_mapi.h"

namespace provider {

// More recipients than this in one call are refused.
constexpr MapiULong kMostRecipients = 4096;
// More files than this in one message are refused.
constexpr MapiULong kMostFiles = 512;

// Resolves each record. Errors: MAPI_E_BAD_RECIPTYPE for a class other
// than To, Cc and Bcc; MAPI_E_INVALID_RECIPS for an unusable address or an
// empty record; MAPI_E_UNKNOWN_RECIPIENT and MAPI_E_AMBIGUOUS_RECIPIENT
// for names.
MapiULong resolve_recipients(const MapiRecipDesc *records, MapiULong count, const AddressBook &book,
                             std::vector<OutgoingRecipient> &resolved);

// A resolved recipient as handed out, with our entry identifier.
RecipientOut recipient_out(const OutgoingRecipient &recipient);

} // namespace provider

#endif

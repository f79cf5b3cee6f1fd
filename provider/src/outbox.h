// Delivery to recipients outside the profile's own store. Every such
// message is queued in the store's outbox folder first; when the profile
// names an SMTP server it is sent at once (outbox_transport.h), and stays
// queued for a retry when the server does not accept it.
//
// An outbox message is the message as it is to be transmitted (no Bcc
// field), preceded by one field naming every envelope recipient:
//   X-Zorva-Envelope-To: ann@example.com, bob@example.org
// A transport sends to those addresses from the profile's own address and
// removes that field before transmitting.
#ifndef ZORVA_PROVIDER_OUTBOX_H
#define ZORVA_PROVIDER_OUTBOX_H

#include <string>
#include <vector>

#include "mail_composer.h"
#include "mail_store.h"
#include "profile_config.h"

namespace provider {

// The outbox field that names the envelope recipients.
extern const char *const kEnvelopeField;

// Delivers a message to the given addresses (none of them the profile's
// own). SUCCESS_SUCCESS once the server accepted it, or, without a server,
// once it is safely queued; otherwise the code of the failure. `queued`
// tells whether the message is in the outbox, so that a retry sends it.
MapiULong deliver(MailStore &store, const Profile &profile, const OutgoingMessage &message,
                  const std::vector<std::string> &addresses, bool &queued);

} // namespace provider

#endif

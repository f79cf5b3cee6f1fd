#include "outbox.h"

#include "outgoing_mail.h"

namespace provider {

const char *const kEnvelopeField = "X-Zorva-Envelope-To";

namespace {

std::string envelope_field(const std::vector<std::string> &addresses)
{
    std::string field = std::string(kEnvelopeField) + ":";
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        field += (i == 0 ? " " : ",\r\n ") + addresses[i];
    }
    return field + "\r\n";
}

} // namespace

MapiULong deliver(MailStore &store, const Profile &profile, const OutgoingMessage &message,
                  const std::vector<std::string> &addresses)
{
    (void)profile; // a transport sends from the profile's address
    std::string id;
    return store_composed(store, StoreFolder::Outbox, message, envelope_field(addresses), false, false, id);
}

} // namespace provider

#include "outbox.h"

#include "outbox_transport.h"
#include "outgoing_mail.h"
#include "smtp_settings.h"

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
                  const std::vector<std::string> &addresses, bool &queued)
{
    queued = false;
    SmtpSettings settings;
    std::string problem;
    bool usable = read_smtp_settings(profile, settings, problem);
    // The transport lock comes first, so no retry elsewhere takes the
    // message between queueing and sending.
    TransportLock lock;
    bool locked = usable && settings.configured && lock.acquire(store, settings);
    std::string id;
    MapiULong result =
        store_composed(store, StoreFolder::Outbox, message, envelope_field(addresses), false, false, id);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    queued = true;
    if (usable && !settings.configured) {
        return SUCCESS_SUCCESS; // without a server the message waits for another transport
    }
    if (!locked) {
        return MAPI_E_FAILURE; // queued; a retry sends it
    }
    OutboxDelivery delivery;
    return send_queued(store, profile, settings, id, delivery);
}

} // namespace provider

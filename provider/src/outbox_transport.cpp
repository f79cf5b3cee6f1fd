#include "outbox_transport.h"

#include <algorithm>

#include "mime_headers.h"
#include "outbox.h"
#include "platform/files.h"
#include "platform/sockets.h"
#include "smtp_client.h"
#include "smtp_data.h"

namespace provider {

const char *const kClaimedSuffix = ".sending";
const char *const kTransportLockFile = "outbox.lock";

namespace {

const char *const kQueuedSuffix = ".eml";

std::string queued_path(MailStore &store, const std::string &id)
{
    return join_path(store.outbox_folder(), id + kQueuedSuffix);
}

std::string claimed_path(MailStore &store, const std::string &id)
{
    return join_path(store.outbox_folder(), id + kClaimedSuffix);
}

class ConnectionChannel : public SmtpChannel {
  public:
    ConnectionChannel(Connection &connection, int timeout_ms) : connection_(connection), timeout_ms_(timeout_ms) {}
    NetStatus send(const char *data, std::size_t size) override
    {
        return connection_.send_all(data, size, timeout_ms_);
    }
    NetStatus receive(char *buffer, std::size_t size, std::size_t &got) override
    {
        return connection_.receive(buffer, size, got, timeout_ms_);
    }

  private:
    Connection &connection_;
    int timeout_ms_;
};

MapiULong result_code(SmtpResult result)
{
    switch (result) {
    case SmtpResult::Accepted:
        return SUCCESS_SUCCESS;
    case SmtpResult::RecipientsRefused:
        return MAPI_E_INVALID_RECIPS;
    case SmtpResult::AuthRefused:
        return MAPI_E_LOGIN_FAILURE;
    case SmtpResult::Failed:
        break;
    }
    return MAPI_E_FAILURE;
}

// The envelope recipients and where the message itself starts; false when
// the file is not an outbox message.
bool split_outbox_file(const std::string &bytes, std::vector<std::string> &recipients, std::size_t &start,
                       std::string &message_id)
{
    HeaderBlock envelope;
    std::size_t limit = bytes.find("\r\n\r\n");
    parse_header_block(bytes, 0, limit == std::string::npos ? bytes.size() : limit + 4, envelope);
    if (envelope.fields.empty() || !equals_ignoring_case(envelope.fields[0].name, kEnvelopeField)) {
        return false;
    }
    start = envelope.fields[0].raw_end;
    recipients.clear();
    std::string list = envelope.fields[0].value;
    std::size_t i = 0;
    while (i <= list.size()) {
        std::size_t comma = list.find(',', i);
        if (comma == std::string::npos) {
            comma = list.size();
        }
        std::string address = trim_blanks(list.substr(i, comma - i));
        if (!address.empty()) {
            recipients.push_back(address);
        }
        i = comma + 1;
    }
    message_id = trim_blanks(envelope.value("Message-ID"));
    return !recipients.empty();
}

} // namespace

bool TransportLock::acquire(MailStore &store, const SmtpSettings &settings)
{
    return lock_.acquire(join_path(store.root(), kTransportLockFile), true, settings.timeout_ms);
}

MapiULong send_queued(MailStore &store, const Profile &profile, const SmtpSettings &settings, const std::string &id,
                      OutboxDelivery &delivery)
{
    delivery = OutboxDelivery(); // kept, until the server accepts it
    delivery.id = id;
    std::string queued = queued_path(store, id);
    std::string claimed = claimed_path(store, id);
    if (rename_path(queued, claimed, false) != IoError::None) {
        delivery.code = MAPI_E_FAILURE;
        delivery.detail = "the message cannot be claimed";
        return delivery.code;
    }
    sync_folder(store.outbox_folder());
    auto put_back = [&](MapiULong code) {
        rename_path(claimed, queued, false);
        sync_folder(store.outbox_folder());
        delivery.code = code;
        return code;
    };

    std::string bytes;
    if (read_whole_file(claimed, bytes) != IoError::None) {
        delivery.detail = "the message cannot be read";
        return put_back(MAPI_E_FAILURE);
    }
    std::vector<std::string> recipients;
    std::size_t start = 0;
    if (!split_outbox_file(bytes, recipients, start, delivery.message_id)) {
        delivery.detail = "not an outbox message: it names no envelope recipients";
        return put_back(MAPI_E_FAILURE);
    }
    delivery.recipients = recipients.size();
    NetStatus status = NetStatus::Ok;
    Connection connection = Connection::open(settings.host, settings.port, settings.timeout_ms, status);
    if (!connection.is_open()) {
        delivery.detail = "cannot connect to " + settings.host + " port " + std::to_string(settings.port) + ": " +
                          net_words(status);
        return put_back(MAPI_E_FAILURE);
    }
    ConnectionChannel channel(connection, settings.timeout_ms);
    SmtpClient client(channel);
    SmtpRequest request;
    request.client_name = settings.client_name;
    request.sender = profile.user_address;
    request.recipients = recipients;
    request.authenticate = settings.authenticate;
    request.user = settings.user;
    request.password = settings.password;
    request.eight_bit = has_eight_bit(bytes.data() + start, bytes.size() - start);
    TextSource source(bytes, start);
    SmtpOutcome outcome = client.send_message(request, source);
    delivery.detail = outcome.detail;
    if (outcome.result != SmtpResult::Accepted) {
        client.quit();
        return put_back(result_code(outcome.result));
    }
    // Accepted: gone from the outbox before anything else can go wrong.
    remove_file(claimed);
    sync_folder(store.outbox_folder());
    delivery.state = OutboxDelivery::State::Delivered;
    delivery.code = SUCCESS_SUCCESS;
    client.quit();
    return SUCCESS_SUCCESS;
}

MapiULong retry_outbox(MailStore &store, const Profile &profile, const SmtpSettings &settings,
                       bool resend_unconfirmed, std::vector<OutboxDelivery> &deliveries)
{
    deliveries.clear();
    std::vector<std::string> names;
    if (list_folder(store.outbox_folder(), names) != IoError::None) {
        return MAPI_E_FAILURE;
    }
    std::string suffix = kClaimedSuffix;
    for (const std::string &name : names) {
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        std::string id = name.substr(0, name.size() - suffix.size());
        if (!MailStore::is_message_id(id)) {
            continue;
        }
        if (resend_unconfirmed) {
            rename_path(claimed_path(store, id), queued_path(store, id), false);
            continue;
        }
        OutboxDelivery delivery;
        delivery.state = OutboxDelivery::State::Unconfirmed;
        delivery.id = id;
        delivery.code = MAPI_E_FAILURE;
        delivery.detail = "its sending was cut off; the server may have accepted it, so it is not sent again";
        std::string bytes;
        std::vector<std::string> recipients;
        std::size_t start = 0;
        if (read_whole_file(claimed_path(store, id), bytes) == IoError::None &&
            split_outbox_file(bytes, recipients, start, delivery.message_id)) {
            delivery.recipients = recipients.size();
        }
        deliveries.push_back(delivery);
    }
    if (resend_unconfirmed) {
        sync_folder(store.outbox_folder());
    }
    std::vector<StoreEntry> queued;
    if (store.list(StoreFolder::Outbox, queued) != SUCCESS_SUCCESS) {
        return MAPI_E_FAILURE;
    }
    for (const StoreEntry &entry : queued) {
        OutboxDelivery delivery;
        send_queued(store, profile, settings, entry.id, delivery);
        deliveries.push_back(delivery);
    }
    MapiULong result = SUCCESS_SUCCESS;
    for (const OutboxDelivery &delivery : deliveries) {
        if (result == SUCCESS_SUCCESS && delivery.state != OutboxDelivery::State::Delivered) {
            result = delivery.code;
        }
    }
    return result;
}

} // namespace provider

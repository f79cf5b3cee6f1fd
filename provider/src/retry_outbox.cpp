// ZorvaRetryOutbox: the outbox sent again, with a line of report for each
// message.
#include "mapi_operations.h"
#include "outbox_transport.h"
#include "sessions.h"
#include "zorva_outbox.h"

namespace provider {

namespace {

std::string report_line(const OutboxDelivery &delivery)
{
    std::string line;
    switch (delivery.state) {
    case OutboxDelivery::State::Delivered:
        line = "delivered " + delivery.id + " " + delivery.message_id + " to " +
               std::to_string(delivery.recipients) + (delivery.recipients == 1 ? " recipient" : " recipients");
        break;
    case OutboxDelivery::State::Kept:
        line = "kept " + delivery.id + " " + delivery.message_id + ": " + std::to_string(delivery.code) + " " +
               delivery.detail;
        break;
    case OutboxDelivery::State::Unconfirmed:
        line = "unconfirmed " + delivery.id + " " + delivery.message_id + ": " + delivery.detail;
        break;
    }
    for (char &c : line) {
        if (c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
        }
    }
    return line + "\n";
}

void write_report(const std::string &text, char *report, MapiULong report_size)
{
    if (report == nullptr || report_size == 0) {
        return;
    }
    std::size_t size = text.size() < report_size ? text.size() : report_size - 1;
    text.copy(report, size);
    report[size] = '\0';
}

} // namespace

MapiULong retry_outbox(MapiHandle session_handle, MapiULong flags, char *report, MapiULong report_size)
{
    write_report("", report, report_size);
    SessionUse use;
    MapiULong result = use.begin(session_handle, true);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    Session &session = use.session();
    SmtpSettings settings;
    std::string problem;
    if (!read_smtp_settings(session.profile, settings, problem)) {
        write_report(problem + "\n", report, report_size);
        return MAPI_E_FAILURE;
    }
    if (!settings.configured) {
        write_report("the profile names no SMTP server (smtp_server)\n", report, report_size);
        return MAPI_E_NOT_SUPPORTED;
    }
    TransportLock lock;
    if (!lock.acquire(session.store, settings)) {
        write_report("another process is sending the outbox\n", report, report_size);
        return MAPI_E_FAILURE;
    }
    std::vector<OutboxDelivery> deliveries;
    result = retry_outbox(session.store, session.profile, settings, (flags & ZORVA_RETRY_UNCONFIRMED) != 0,
                          deliveries);
    std::string text;
    for (const OutboxDelivery &delivery : deliveries) {
        text += report_line(delivery);
    }
    write_report(text, report, report_size);
    return result;
}

} // namespace provider

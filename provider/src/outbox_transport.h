// Sending the outbox over SMTP, so that no message is lost and none is
// sent twice by a retry.
//
// States of a message in outbox/:
//   <id>.eml      queued: not accepted by any server
//   <id>.sending  claimed by the transport while it transmits
// The transport lock (outbox.lock in the store) is held by whoever
// transmits, in any process, for the whole time it has a message claimed.
// A message is claimed by renaming .eml to .sending; after the server's
// 250 to the final "." the file is removed; after any other ending (a
// refusal, a dropped connection, silence past the time-out) it is renamed
// back to .eml. Holding the lock, a transport therefore finds a .sending
// file only when the process that claimed it died, at a moment nobody can
// know: possibly after the server accepted the message. Such a message is
// "unconfirmed": a retry reports it and leaves it alone unless asked to
// send it again (ZORVA_RETRY_UNCONFIRMED), which may deliver it twice.
#ifndef ZORVA_PROVIDER_OUTBOX_TRANSPORT_H
#define ZORVA_PROVIDER_OUTBOX_TRANSPORT_H

#include <string>
#include <vector>

#include "mail_store.h"
#include "mapi/simple_mapi.h"
#include "smtp_settings.h"

namespace provider {

// The suffix of a claimed message in the outbox.
extern const char *const kClaimedSuffix;
// The transport lock's file in the store.
extern const char *const kTransportLockFile;

struct OutboxDelivery {
    enum class State { Delivered, Kept, Unconfirmed };
    State state = State::Kept;
    std::string id;
    std::string message_id; // the message's Message-ID field
    std::size_t recipients = 0;
    MapiULong code = SUCCESS_SUCCESS; // why it was kept
    std::string detail;               // what the server said, or what went wrong
};

// Holds the transport lock for as long as it lives.
class TransportLock {
  public:
    // Waits for the lock up to the server's time-out.
    bool acquire(MailStore &store, const SmtpSettings &settings);

  private:
    FileLock lock_;
};

// Sends one queued message (holding the transport lock): SUCCESS_SUCCESS
// once the server accepted it and it left the outbox; otherwise it is
// queued again and the code says why: MAPI_E_INVALID_RECIPS,
// MAPI_E_LOGIN_FAILURE or MAPI_E_FAILURE.
MapiULong send_queued(MailStore &store, const Profile &profile, const SmtpSettings &settings, const std::string &id,
                      OutboxDelivery &delivery);

// Sends every queued message in arrival order, each over a connection of
// its own, and reports on each, and on every unconfirmed one. With
// resend_unconfirmed those are queued again and sent too.
MapiULong retry_outbox(MailStore &store, const Profile &profile, const SmtpSettings &settings,
                       bool resend_unconfirmed, std::vector<OutboxDelivery> &deliveries);

} // namespace provider

#endif

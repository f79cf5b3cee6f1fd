// GETMAIL and INBOX called as a host calls them: host buffers of the
// contract's sizes with canaries behind them, and the check that each call
// loaded and released the provider once and logged off the one session it
// opened.
#ifndef ZORVA_TESTS_MAIL_CALLS_H
#define ZORVA_TESTS_MAIL_CALLS_H

#include <string>
#include <utility>

#include "guarded_buffer.h"

// The host's buffer sizes.
constexpr size_t kHostMessageIdSize = 512;
constexpr size_t kHostReportSize = 32768;

// What the report buffer holds before a call, so a call that must leave it
// alone shows whether it did.
constexpr char kUntouchedReport[] = "report buffer left alone";

// The two buffers a host keeps between GETMAIL calls.
struct HostMailBuffers {
    GuardedBuffer id{kHostMessageIdSize, "NULL"};
    GuardedBuffer report{kHostReportSize, kUntouchedReport};
};

struct GetMailArgs {
    GetMailArgs(std::string mode_word = "P", std::string unread_switch = "",
                std::string subject = "")
        : mode(std::move(mode_word)), unread_only(std::move(unread_switch)),
          new_subject(std::move(subject))
    {
    }
    std::string mode;
    std::string unread_only;
    std::string new_subject;
};

struct MailCallResult {
    int result = 0;
    std::string printed;
    // Empty when the call loaded and released the provider once and logged
    // off the session it opened; otherwise what was left.
    std::string unbalanced;
    // Buffers the provider handed out during the call and still holds.
    int buffers_left = 0;
};

MailCallResult getmail(HostMailBuffers &buffers, const GetMailArgs &args);
MailCallResult inbox();

#endif

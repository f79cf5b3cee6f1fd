// The client side of one SMTP conversation (RFC 5321): the greeting, EHLO
// (HELO when EHLO is refused), AUTH PLAIN or LOGIN, MAIL FROM, RCPT TO for
// every recipient, DATA and QUIT. It works over any channel, so the same
// logic runs on a real connection and in the fuzz target.
//
// Only the server's reply to the final "." accepts a message: a connection
// that closes, resets or falls silent before that reply means not sent.
#ifndef ZORVA_PROVIDER_SMTP_CLIENT_H
#define ZORVA_PROVIDER_SMTP_CLIENT_H

#include <cstddef>
#include <string>
#include <vector>

#include "platform/sockets.h"
#include "smtp_reply.h"

namespace provider {

// Where the conversation's bytes go and come from.
class SmtpChannel {
  public:
    virtual ~SmtpChannel() = default;
    virtual NetStatus send(const char *data, std::size_t size) = 0;
    // At least one byte, or why not.
    virtual NetStatus receive(char *buffer, std::size_t size, std::size_t &got) = 0;
};

// The message text, read from its start (without the envelope).
class MessageSource {
  public:
    virtual ~MessageSource() = default;
    // Up to size bytes; got is 0 at the end. False when reading fails.
    virtual bool read(char *buffer, std::size_t size, std::size_t &got) = 0;
};

// A message held in memory, from `start` on.
class TextSource : public MessageSource {
  public:
    explicit TextSource(const std::string &text, std::size_t start = 0) : text_(text), position_(start) {}
    bool read(char *buffer, std::size_t size, std::size_t &got) override;

  private:
    const std::string &text_;
    std::size_t position_;
};

// What a network failure is, in words for a report.
const char *net_words(NetStatus status);

struct SmtpRequest {
    std::string client_name; // what EHLO names
    std::string sender;      // MAIL FROM
    std::vector<std::string> recipients;
    bool authenticate = false; // AUTH when the server offers PLAIN or LOGIN
    std::string user;
    std::string password;
    bool eight_bit = false; // the message holds bytes above 127
};

enum class SmtpResult {
    Accepted,          // the server's 250 to the final "."
    RecipientsRefused, // a permanent refusal of one or more recipients; nothing was sent
    AuthRefused,       // authentication refused, or required and impossible
    Failed             // anything else: not sent
};

struct SmtpOutcome {
    SmtpResult result = SmtpResult::Failed;
    std::string detail; // what the server said, or what went wrong
    std::vector<std::string> refused; // the recipients the server refused
};

// What the server offered in its reply to EHLO.
struct SmtpExtensions {
    bool eight_bit_mime = false;
    bool auth_plain = false;
    bool auth_login = false;
    bool auth_offered = false;
};
SmtpExtensions parse_extensions(const SmtpReply &ehlo_reply);

class SmtpClient {
  public:
    explicit SmtpClient(SmtpChannel &channel) : channel_(channel) {}

    // The whole transaction up to the server's reply after ".". The
    // message stays unaccepted unless the result is Accepted.
    SmtpOutcome send_message(const SmtpRequest &request, MessageSource &message);
    // Says goodbye when the connection is still usable; its reply does not
    // change what send_message found.
    void quit();

  private:
    bool transmit(const std::string &line, SmtpOutcome &outcome);
    bool read_reply(SmtpReply &reply, SmtpOutcome &outcome, const char *after);
    bool command(const std::string &line, SmtpReply &reply, SmtpOutcome &outcome, const char *what);
    bool greet(const SmtpRequest &request, SmtpExtensions &extensions, SmtpOutcome &outcome);
    bool authenticate(const SmtpRequest &request, const SmtpExtensions &extensions, SmtpOutcome &outcome);
    bool send_data(MessageSource &message, SmtpOutcome &outcome);

    SmtpChannel &channel_;
    SmtpReplyReader reader_;
    bool usable_ = true; // the conversation can still go on
};

} // namespace provider

#endif

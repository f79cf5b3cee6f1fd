// The SMTP client against a fuzzed server. The input's first byte picks
// the request's options; then each byte below 128 makes the server say one
// of a set of typical replies, and any other byte n is followed by n - 127
// bytes the server says as they are, so both well-formed conversations and
// garbage, in pieces of any size, come up quickly. Besides not crashing, the client must never count a
// message accepted unless it sent the whole message and its end marker, and
// the reply reader must only hand out well-formed replies.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "smtp_client.h"
#include "smtp_reply.h"

namespace {

const char kMessage[] = "Subject: fuzz\r\n\r\n.line\r\n..\r\n.\r\nlast";
const char kWireEnd[] = "\r\n..line\r\n...\r\n..\r\nlast\r\n.\r\n";

const char *const kReplies[] = {
    "220 fuzz.example ready\r\n",
    "250 OK\r\n",
    "250-fuzz.example\r\n250-8BITMIME\r\n250 AUTH PLAIN LOGIN\r\n",
    "250-fuzz.example\r\n250 AUTH LOGIN\r\n",
    "354 go on\r\n",
    "334 VXNlcm5hbWU6\r\n",
    "235 2.7.0 ok\r\n",
    "530 5.7.0 authentication required\r\n",
    "535 5.7.8 bad credentials\r\n",
    "550 5.1.1 no such user\r\n",
    "451 4.3.0 try later\r\n",
    "502 5.5.2 not implemented\r\n",
    "221 bye\r\n",
    "250-",
    "\r\n",
};

class FuzzChannel : public provider::SmtpChannel {
  public:
    FuzzChannel(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    provider::NetStatus send(const char *bytes, std::size_t size) override
    {
        sent.append(bytes, size);
        return provider::NetStatus::Ok;
    }
    provider::NetStatus receive(char *buffer, std::size_t size, std::size_t &got) override
    {
        got = 0;
        if (position_ >= size_) {
            return provider::NetStatus::Closed;
        }
        std::uint8_t selector = data_[position_++];
        std::string piece;
        if (selector < 128) {
            piece = kReplies[selector % (sizeof kReplies / sizeof kReplies[0])];
        } else {
            std::size_t length = std::min<std::size_t>(selector - 127u, size_ - position_);
            piece.assign(reinterpret_cast<const char *>(data_ + position_), length);
            position_ += length;
        }
        got = std::min(piece.size(), size);
        piece.copy(buffer, got);
        if (got == 0) {
            return provider::NetStatus::TimedOut;
        }
        return provider::NetStatus::Ok;
    }
    std::string sent;

  private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

class FixedMessage : public provider::MessageSource {
  public:
    bool read(char *buffer, std::size_t size, std::size_t &got) override
    {
        std::string text(kMessage);
        got = std::min(size, text.size() - position_);
        text.copy(buffer, got, position_);
        position_ += got;
        return true;
    }

  private:
    std::size_t position_ = 0;
};

void check_reader(const std::uint8_t *data, std::size_t size)
{
    provider::SmtpReplyReader reader;
    reader.feed(reinterpret_cast<const char *>(data), size);
    provider::SmtpReply reply;
    while (reader.next(reply) == provider::SmtpReplyReader::Status::Reply) {
        if (reply.code < 200 || reply.code > 599 || reply.lines.empty()) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    check_reader(data + 1, size - 1);

    provider::SmtpRequest request;
    request.client_name = "client.example";
    request.sender = "ann@example.com";
    request.recipients = {"bob@example.org", "carl@example.net"};
    request.authenticate = (data[0] & 1) != 0;
    request.user = "ann";
    request.password = "secret";
    request.eight_bit = (data[0] & 2) != 0;
    FuzzChannel channel(data + 1, size - 1);
    FixedMessage message;
    provider::SmtpClient client(channel);
    provider::SmtpOutcome outcome = client.send_message(request, message);
    if (outcome.result == provider::SmtpResult::Accepted) {
        std::string end(kWireEnd);
        bool whole = channel.sent.size() >= end.size() &&
                     channel.sent.compare(channel.sent.size() - end.size(), end.size(), end) == 0;
        bool every_recipient = channel.sent.find("RCPT TO:<bob@example.org>\r\n") != std::string::npos &&
                               channel.sent.find("RCPT TO:<carl@example.net>\r\n") != std::string::npos;
        if (!whole || !every_recipient) {
            std::abort();
        }
    }
    client.quit();
    return 0;
}

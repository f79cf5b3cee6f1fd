// The SMTP client against a fuzzed server: the input is what the server
// says, handed over in pieces of fuzzed sizes, and its first byte picks the
// request's options. Besides not crashing, the client must never count a
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
        if (position_ >= size_) {
            got = 0;
            return provider::NetStatus::Closed;
        }
        // Each piece's length comes from the byte before it.
        std::size_t piece = 1 + data_[position_++] % 64;
        piece = std::min({piece, size, size_ - position_});
        for (std::size_t i = 0; i < piece; ++i) {
            buffer[i] = static_cast<char>(data_[position_ + i]);
        }
        position_ += piece;
        got = piece;
        return got == 0 ? provider::NetStatus::Closed : provider::NetStatus::Ok;
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

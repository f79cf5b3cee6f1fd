// Replies of an SMTP server (RFC 5321, section 4.2): one or more lines,
// each a three-digit code, then "-" on every line but the last and " " (or
// nothing) on the last, then text. The reader takes the bytes as they come
// off the connection, in pieces of any size, and hands out whole replies.
#ifndef ZORVA_PROVIDER_SMTP_REPLY_H
#define ZORVA_PROVIDER_SMTP_REPLY_H

#include <cstddef>
#include <string>
#include <vector>

namespace provider {

struct SmtpReply {
    int code = 0;                   // 200..599
    std::vector<std::string> lines; // the text after each line's code and separator
    // The first digit: 2 done, 3 go on, 4 failed for now, 5 failed for good.
    int kind() const { return code / 100; }
    // Every line's text, joined with "; " (for reports).
    std::string text() const;
};

// The longest reply line taken, and the most bytes one reply may hold.
constexpr std::size_t kLongestReplyLine = 4096;
constexpr std::size_t kLargestReply = 65536;

class SmtpReplyReader {
  public:
    enum class Status { NeedMore, Reply, Malformed };

    // Adds bytes as received.
    void feed(const char *data, std::size_t size);
    // The next whole reply when there is one. Malformed (and from then on
    // always Malformed) for a line without a valid code, a code that
    // changes within a reply, or a line or reply past the limits.
    Status next(SmtpReply &reply);
    // Bytes fed but not yet part of a reply handed out.
    bool has_pending() const { return !pending_.empty() || !partial_.lines.empty(); }

  private:
    std::string pending_;
    std::size_t scan_from_ = 0;
    SmtpReply partial_;
    std::size_t partial_size_ = 0;
    bool broken_ = false;
};

} // namespace provider

#endif

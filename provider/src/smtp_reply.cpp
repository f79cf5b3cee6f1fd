#include "smtp_reply.h"

namespace provider {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string SmtpReply::text() const
{
    std::string joined;
    for (const std::string &line : lines) {
        if (!joined.empty()) {
            joined += "; ";
        }
        joined += line;
    }
    return joined;
}

void SmtpReplyReader::feed(const char *data, std::size_t size)
{
    if (!broken_) {
        pending_.append(data, size);
    }
}

SmtpReplyReader::Status SmtpReplyReader::next(SmtpReply &reply)
{
    while (!broken_) {
        std::size_t end = pending_.find('\n', scan_from_);
        if (end == std::string::npos) {
            scan_from_ = pending_.size();
            if (pending_.size() > kLongestReplyLine) {
                broken_ = true;
                break;
            }
            return Status::NeedMore;
        }
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        scan_from_ = 0;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        // A code of three digits, the first 2 to 5, then " ", "-" or nothing.
        if (line.size() > kLongestReplyLine || line.size() < 3 || !is_digit(line[0]) || !is_digit(line[1]) ||
            !is_digit(line[2]) || line[0] < '2' || line[0] > '5' ||
            (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
            broken_ = true;
            break;
        }
        int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        if (!partial_.lines.empty() && code != partial_.code) {
            broken_ = true;
            break;
        }
        partial_size_ += line.size();
        if (partial_size_ > kLargestReply) {
            broken_ = true;
            break;
        }
        partial_.code = code;
        partial_.lines.push_back(line.size() > 4 ? line.substr(4) : std::string());
        bool last = line.size() == 3 || line[3] == ' ';
        if (last) {
            reply = std::move(partial_);
            partial_ = SmtpReply();
            partial_size_ = 0;
            return Status::Reply;
        }
    }
    pending_.clear();
    partial_ = SmtpReply();
    return Status::Malformed;
}

} // namespace provider

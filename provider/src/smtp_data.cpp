#include "smtp_data.h"

namespace provider {

void DotStuffer::add(const char *data, std::size_t size, std::string &out)
{
    out.reserve(out.size() + size + size / 32 + 8);
    for (std::size_t i = 0; i < size; ++i) {
        char c = data[i];
        if (c == '\n') {
            if (!after_cr_) {
                out += "\r\n";
            }
            after_cr_ = false;
            line_start_ = true;
            continue;
        }
        if (c == '\r') {
            out += "\r\n"; // a following LF belongs to it
            after_cr_ = true;
            line_start_ = true;
            continue;
        }
        after_cr_ = false;
        if (line_start_ && c == '.') {
            out += '.';
        }
        line_start_ = false;
        out += c;
    }
}

void DotStuffer::finish(std::string &out)
{
    if (!line_start_) {
        out += "\r\n";
    }
    out += ".\r\n";
    line_start_ = true;
    after_cr_ = false;
}

bool has_eight_bit(const char *data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        if ((static_cast<unsigned char>(data[i]) & 0x80) != 0) {
            return true;
        }
    }
    return false;
}

} // namespace provider

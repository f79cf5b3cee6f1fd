#include "smtp_data.h"

namespace provider {

void DotStuffer::add(const char *data, std::size_t size, std::string &out)
{
    out.reserve(out.size() + size + size / 32 + 8);
    std::size_t i = 0;
    while (i < size) {
        char c = data[i];
        if (c == '\n') {
            if (!after_cr_) {
                out += "\r\n";
            }
            after_cr_ = false;
            line_start_ = true;
            ++i;
            continue;
        }
        if (c == '\r') {
            out += "\r\n"; // a following LF belongs to it
            after_cr_ = true;
            line_start_ = true;
            ++i;
            continue;
        }
        after_cr_ = false;
        if (line_start_ && c == '.') {
            out += '.';
        }
        line_start_ = false;
        // The rest of the line as it is.
        std::size_t end = i + 1;
        while (end < size && data[end] != '\r' && data[end] != '\n') {
            ++end;
        }
        out.append(data + i, end - i);
        i = end;
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

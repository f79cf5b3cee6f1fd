#include "mime_parser.h"

#include "mime_codecs.h"

namespace provider {

namespace {

struct ParseBudget {
    std::size_t parts = 0;
};

void parse_part(const std::string &text, std::size_t start, std::size_t end, const char *default_type,
                int depth, ParseBudget &budget, MimePart &part);

// The end of the line starting at i (at its line feed or at end) and where
// the next line starts.
void line_bounds(const std::string &text, std::size_t i, std::size_t end, std::size_t &content_end,
                 std::size_t &next)
{
    std::size_t line_end = text.find('\n', i);
    if (line_end == std::string::npos || line_end >= end) {
        content_end = end;
        next = end;
        return;
    }
    next = line_end + 1;
    content_end = line_end > i && text[line_end - 1] == '\r' ? line_end - 1 : line_end;
}

// Whether the line at i is a delimiter of the boundary; closing is set for
// the final one ("--boundary--").
bool is_delimiter(const std::string &text, std::size_t i, std::size_t content_end, const std::string &delimiter,
                  bool &closing)
{
    if (content_end - i < delimiter.size() || text.compare(i, delimiter.size(), delimiter) != 0) {
        return false;
    }
    std::size_t k = i + delimiter.size();
    closing = content_end - k >= 2 && text[k] == '-' && text[k + 1] == '-';
    if (closing) {
        k += 2;
    }
    for (; k < content_end; ++k) {
        if (text[k] != ' ' && text[k] != '\t') {
            return false;
        }
    }
    return true;
}

void split_multipart(const std::string &text, int depth, ParseBudget &budget, MimePart &part)
{
    const std::string boundary = part.content_type.raw_parameter("boundary");
    if (boundary.empty()) {
        return;
    }
    const std::string delimiter = "--" + boundary;
    const char *child_type = part.has_type("multipart/digest") ? "message/rfc822" : "text/plain";
    std::size_t i = part.body_start;
    std::size_t part_start = std::string::npos;
    while (i < part.body_end) {
        std::size_t content_end, next;
        line_bounds(text, i, part.body_end, content_end, next);
        bool closing = false;
        if (is_delimiter(text, i, content_end, delimiter, closing)) {
            if (part_start != std::string::npos) {
                // The line end before the delimiter belongs to it.
                std::size_t child_end = i;
                if (child_end > part_start && text[child_end - 1] == '\n') --child_end;
                if (child_end > part_start && text[child_end - 1] == '\r') --child_end;
                if (budget.parts >= kMaxMimeParts) {
                    return;
                }
                part.children.emplace_back();
                parse_part(text, part_start, child_end, child_type, depth + 1, budget, part.children.back());
            }
            if (closing) {
                return;
            }
            part_start = next;
        }
        i = next;
    }
    // No closing delimiter: the last part runs to the end.
    if (part_start != std::string::npos && part_start <= part.body_end && budget.parts < kMaxMimeParts) {
        part.children.emplace_back();
        parse_part(text, part_start, part.body_end, child_type, depth + 1, budget, part.children.back());
    }
}

void parse_part(const std::string &text, std::size_t start, std::size_t end, const char *default_type,
                int depth, ParseBudget &budget, MimePart &part)
{
    ++budget.parts;
    part.header_start = start;
    part.body_start = parse_header_block(text, start, end, part.headers);
    part.body_end = end;
    if (part.body_start > end) {
        part.body_start = end;
    }
    const HeaderField *type = part.headers.find("Content-Type");
    if (type != nullptr) {
        part.content_type = parse_parameterized(type->value);
    }
    const std::string &value = part.content_type.value;
    std::size_t slash = value.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == value.size()) {
        part.content_type.value = default_type;
    }
    const HeaderField *disposition = part.headers.find("Content-Disposition");
    if (disposition != nullptr) {
        part.disposition = parse_parameterized(disposition->value);
    }
    part.transfer_encoding = lower_ascii(trim_blanks(part.headers.value("Content-Transfer-Encoding")));
    if (part.is_multipart() && depth < kMaxMimeDepth) {
        split_multipart(text, depth, budget, part);
    }
}

} // namespace

MimePart parse_message(const std::string &text)
{
    MimePart root;
    ParseBudget budget;
    parse_part(text, 0, text.size(), "text/plain", 0, budget, root);
    return root;
}

std::string decode_body(const std::string &text, const MimePart &part)
{
    std::string body = text.substr(part.body_start, part.body_end - part.body_start);
    if (part.transfer_encoding == "base64") {
        return base64_decode(body);
    }
    if (part.transfer_encoding == "quoted-printable") {
        return quoted_printable_decode(body);
    }
    return body;
}

} // namespace provider

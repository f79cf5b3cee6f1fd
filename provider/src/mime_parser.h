// The structure of a MIME message: its header, and its body parts nested
// as multipart bodies nest them. Parsing never fails: what does not parse
// as structure is read as body text.
#ifndef ZORVA_PROVIDER_MIME_PARSER_H
#define ZORVA_PROVIDER_MIME_PARSER_H

#include <cstddef>
#include <string>
#include <vector>

#include "mime_headers.h"

namespace provider {

// Multipart bodies nested deeper than this are kept as opaque parts.
constexpr int kMaxMimeDepth = 32;
// A message is split into at most this many parts; the rest stays opaque.
constexpr std::size_t kMaxMimeParts = 10000;

struct MimePart {
    HeaderBlock headers;
    ParameterizedValue content_type; // value "text/plain" when absent or malformed
    ParameterizedValue disposition;  // value "" when absent
    std::string transfer_encoding;   // lower case, "" when absent
    std::size_t header_start = 0;
    std::size_t body_start = 0; // the body, as offsets into the message text
    std::size_t body_end = 0;
    std::vector<MimePart> children;

    bool is_multipart() const { return content_type.value.compare(0, 10, "multipart/") == 0; }
    bool has_type(const char *type) const { return content_type.value == type; }
};

MimePart parse_message(const std::string &text);

// The body's bytes with the transfer encoding undone.
std::string decode_body(const std::string &text, const MimePart &part);

} // namespace provider

#endif

// Header fields of a message or body part: the block of fields, the
// Content-Type and Content-Disposition fields with their parameters
// (RFC 2045, RFC 2231), and address lists (RFC 5322).
#ifndef ZORVA_PROVIDER_MIME_HEADERS_H
#define ZORVA_PROVIDER_MIME_HEADERS_H

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace provider {

struct HeaderField {
    std::string name;
    std::string value; // unfolded, raw bytes, without leading blanks
    // Where the field's lines lie in the text, line ends included.
    std::size_t raw_start = 0;
    std::size_t raw_end = 0;
};

struct HeaderBlock {
    std::vector<HeaderField> fields;
    // The first field of a name (case-insensitive); null when none.
    const HeaderField *find(const std::string &name) const;
    std::string value(const std::string &name) const;
};

// Reads header lines from text[start, end). Returns where the body starts:
// after the blank line, or end when there is none. Lines that are not
// fields end the block, as they start a body that lacks its blank line.
std::size_t parse_header_block(const std::string &text, std::size_t start, std::size_t end,
                               HeaderBlock &block);

// A field value with parameters: "text/plain; charset=utf-8".
struct ParameterizedValue {
    std::string value; // lower case
    // Names in lower case; values decoded (RFC 2231 continuations and
    // charsets; RFC 2047 words some senders put in quotes), as host text
    // except for the raw ones below.
    std::map<std::string, std::string> parameters;
    // The same parameters as raw bytes (boundary, charset).
    std::map<std::string, std::string> raw;
    std::string parameter(const std::string &name) const;
    std::string raw_parameter(const std::string &name) const;
};
ParameterizedValue parse_parameterized(const std::string &field_value);

struct Mailbox {
    std::string name;    // host text
    std::string address; // as written, without angle brackets
};
std::vector<Mailbox> parse_address_list(const std::string &field_value);

std::string lower_ascii(std::string text);
bool equals_ignoring_case(const std::string &a, const std::string &b);
std::string trim_blanks(const std::string &text);

} // namespace provider

#endif

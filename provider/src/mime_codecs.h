// The transfer encodings of MIME: base64 and quoted-printable, both ways,
// and the encoded words of header fields (RFC 2047). Decoders accept
// whatever they are given and decode as much as makes sense.
#ifndef ZORVA_PROVIDER_MIME_CODECS_H
#define ZORVA_PROVIDER_MIME_CODECS_H

#include <cstddef>
#include <string>

namespace provider {

// Encoded lines of base64 carry this many characters, as RFC 2045 asks.
constexpr std::size_t kBase64LineLength = 76;
// Input bytes that fill one base64 line exactly.
constexpr std::size_t kBase64LineBytes = kBase64LineLength / 4 * 3;
// The longest line quoted-printable writes, soft break included.
constexpr std::size_t kQuotedPrintableLineLength = 76;

// Base64 in lines of kBase64LineLength, each ending in CR LF.
std::string base64_encode_lines(const std::string &bytes);
// Appends the encoding of bytes (a multiple of kBase64LineBytes unless it
// is the last piece) to out.
void base64_encode_lines_into(const char *bytes, std::size_t size, std::string &out);
// Skips everything outside the alphabet; stops at the padding.
std::string base64_decode(const std::string &text);
// Base64 in one piece, without line breaks.
std::string base64_encode(const std::string &bytes);

// Text whose lines end in LF, as CR LF lines of quoted-printable.
std::string quoted_printable_encode(const std::string &text);
// Decodes soft line breaks and =XX; a malformed = stays as it is.
std::string quoted_printable_decode(const std::string &text);

// A header field's value as the host's text: encoded words decoded,
// other 8-bit bytes read as UTF-8 or Windows-1252.
std::string decode_header_text(const std::string &value);
// The same, for raw 8-bit bytes only (no encoded words): a display name in
// quotes, a parameter value.
std::string raw_header_bytes_to_host(const std::string &value);

// Text in UTF-8 as one or more encoded words ("=?UTF-8?B?...?="), folded
// with CR LF and a blank between words. first_line_room is how many
// characters the first line still has after the field name.
std::string encode_header_words(const std::string &utf8, std::size_t first_line_room);

} // namespace provider

#endif

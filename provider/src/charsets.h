// Character sets of mail: decoding the ones mail arrives in into Unicode,
// and UTF-8, the one the provider writes.
#ifndef ZORVA_PROVIDER_CHARSETS_H
#define ZORVA_PROVIDER_CHARSETS_H

#include <optional>
#include <string>

namespace provider {

bool is_valid_utf8(const std::string &bytes);
// Bytes that are not UTF-8 are read as Windows-1252, the commonest reason
// for mislabelled mail.
std::u32string decode_utf8(const std::string &bytes);
std::string encode_utf8(const std::u32string &text);

std::u32string decode_windows_1252(const std::string &bytes);
// Characters Windows-1252 lacks become '?'.
std::string encode_windows_1252(const std::u32string &text);

std::u16string utf16_from_unicode(const std::u32string &text);
std::u32string unicode_from_utf16(const std::u16string &text);

// Decodes bytes of a named character set (MIME names and their aliases,
// case-insensitive); nothing when the set is unknown.
std::optional<std::u32string> decode_charset(const std::string &bytes, const std::string &charset);

// Bytes of a named character set as the host's code page. An unknown set
// leaves UTF-8 as UTF-8 is read, and other bytes as they are.
std::string charset_to_host(const std::string &bytes, const std::string &charset);

bool is_ascii(const std::string &bytes);

} // namespace provider

#endif

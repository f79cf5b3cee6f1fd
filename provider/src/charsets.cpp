#include "charsets.h"

#include <cctype>

#include "platform/host_codepage.h"

namespace provider {

namespace {

const char32_t kReplacement = 0xFFFD;

// Windows-1252 at 0x80..0x9F; 0 where the code page has no character.
const char32_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t windows_1252_char(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) {
        char32_t mapped = kWindows1252High[byte - 0x80];
        return mapped != 0 ? mapped : static_cast<char32_t>(byte);
    }
    return byte;
}

// The length of a well-formed UTF-8 sequence at bytes[i], or 0.
std::size_t utf8_sequence(const std::string &bytes, std::size_t i, char32_t &value)
{
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    unsigned char lead = at(i);
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        value = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        unsigned char next = at(i + k);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    return length;
}

std::string canonical_charset(const std::string &name)
{
    std::string canonical;
    for (char c : name) {
        if (c != '-' && c != '_' && c != ' ' && c != '"') {
            canonical += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return canonical;
}

std::u32string decode_iso_8859_15(const std::string &bytes)
{
    std::u32string text;
    text.reserve(bytes.size());
    for (unsigned char byte : bytes) {
        char32_t c = byte;
        switch (byte) {
        case 0xA4: c = 0x20AC; break;
        case 0xA6: c = 0x0160; break;
        case 0xA8: c = 0x0161; break;
        case 0xB4: c = 0x017D; break;
        case 0xB8: c = 0x017E; break;
        case 0xBC: c = 0x0152; break;
        case 0xBD: c = 0x0153; break;
        case 0xBE: c = 0x0178; break;
        default: break;
        }
        text += c;
    }
    return text;
}

std::u32string decode_utf16(const std::string &bytes, bool big_endian)
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned char a = static_cast<unsigned char>(bytes[i]);
        unsigned char b = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(big_endian ? (a << 8) | b : (b << 8) | a);
    }
    if (!units.empty() && units[0] == 0xFEFF) {
        units.erase(0, 1);
    }
    return unicode_from_utf16(units);
}

} // namespace

bool is_ascii(const std::string &bytes)
{
    for (unsigned char byte : bytes) {
        if (byte >= 0x80) {
            return false;
        }
    }
    return true;
}

bool is_valid_utf8(const std::string &bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t value;
        std::size_t length = utf8_sequence(bytes, i, value);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::u32string decode_utf8(const std::string &bytes)
{
    std::u32string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        i = 3;
    }
    while (i < bytes.size()) {
        char32_t value;
        std::size_t length = utf8_sequence(bytes, i, value);
        if (length == 0) {
            text += windows_1252_char(static_cast<unsigned char>(bytes[i]));
            ++i;
        } else {
            text += value;
            i += length;
        }
    }
    return text;
}

std::string encode_utf8(const std::u32string &text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = kReplacement;
        }
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

std::u32string decode_windows_1252(const std::string &bytes)
{
    std::u32string text;
    text.reserve(bytes.size());
    for (unsigned char byte : bytes) {
        text += windows_1252_char(byte);
    }
    return text;
}

std::string encode_windows_1252(const std::u32string &text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes += static_cast<char>(c);
            continue;
        }
        char encoded = '?';
        for (int k = 0; k < 32; ++k) {
            if (kWindows1252High[k] == c) {
                encoded = static_cast<char>(0x80 + k);
                break;
            }
        }
        bytes += encoded;
    }
    return bytes;
}

std::u16string utf16_from_unicode(const std::u32string &text)
{
    std::u16string units;
    units.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = kReplacement;
        }
        if (c < 0x10000) {
            units += static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (c >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    return units;
}

std::u32string unicode_from_utf16(const std::u16string &units)
{
    std::u32string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            text += 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            text += kReplacement;
        } else {
            text += unit;
        }
    }
    return text;
}

std::optional<std::u32string> decode_charset(const std::string &bytes, const std::string &charset)
{
    const std::string name = canonical_charset(charset);
    if (name == "utf8" || name == "utf8mb4") {
        return decode_utf8(bytes);
    }
    // As mail readers do, Latin-1 and ASCII labels are read as Windows-1252.
    if (name == "usascii" || name == "ascii" || name == "iso88591" || name == "latin1" ||
        name == "l1" || name == "windows1252" || name == "cp1252" || name == "iso885911987" ||
        name == "ansix3.41968" || name == "us") {
        return decode_windows_1252(bytes);
    }
    if (name == "iso885915" || name == "latin9" || name == "l9") {
        return decode_iso_8859_15(bytes);
    }
    if (name == "utf16be") {
        return decode_utf16(bytes, true);
    }
    if (name == "utf16le") {
        return decode_utf16(bytes, false);
    }
    if (name == "utf16") {
        bool little = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                      static_cast<unsigned char>(bytes[1]) == 0xFE;
        return decode_utf16(bytes, !little);
    }
    return std::nullopt;
}

std::string charset_to_host(const std::string &bytes, const std::string &charset)
{
    if (is_ascii(bytes)) {
        return bytes;
    }
    std::optional<std::u32string> text = decode_charset(bytes, charset);
    if (text) {
        return unicode_to_host(*text);
    }
    if (is_valid_utf8(bytes)) {
        return unicode_to_host(decode_utf8(bytes));
    }
    return bytes;
}

} // namespace provider

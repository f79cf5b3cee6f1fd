#include "mime_codecs.h"

#include <cctype>
#include <vector>

#include "charsets.h"

namespace provider {

namespace {

const char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kHexDigits[] = "0123456789ABCDEF";
// Encoded words are at most this long (RFC 2047).
const std::size_t kEncodedWordLength = 75;
// A folded header line should be no longer than this.
const std::size_t kHeaderLineLength = 78;

int base64_value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

int hex_value(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void encode_group(const unsigned char *in, std::size_t count, std::string &out)
{
    unsigned value = static_cast<unsigned>(in[0]) << 16;
    if (count > 1) value |= static_cast<unsigned>(in[1]) << 8;
    if (count > 2) value |= in[2];
    out += kBase64Alphabet[(value >> 18) & 63];
    out += kBase64Alphabet[(value >> 12) & 63];
    out += count > 1 ? kBase64Alphabet[(value >> 6) & 63] : '=';
    out += count > 2 ? kBase64Alphabet[value & 63] : '=';
}

// The "Q" encoding of an encoded word (RFC 2047 4.2).
std::string q_decode(const std::string &text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '_') {
            bytes += ' ';
        } else if (c == '=' && i + 2 < text.size() &&
                   hex_value(static_cast<unsigned char>(text[i + 1])) >= 0 &&
                   hex_value(static_cast<unsigned char>(text[i + 2])) >= 0) {
            bytes += static_cast<char>(hex_value(static_cast<unsigned char>(text[i + 1])) * 16 +
                                       hex_value(static_cast<unsigned char>(text[i + 2])));
            i += 2;
        } else {
            bytes += c;
        }
    }
    return bytes;
}

struct EncodedWord {
    std::string charset;
    std::string bytes;
    std::size_t end = 0; // index after "?="
};

// An encoded word starting at value[start] ("=?"), if it is one.
bool parse_encoded_word(const std::string &value, std::size_t start, EncodedWord &word)
{
    std::size_t charset_end = value.find('?', start + 2);
    if (charset_end == std::string::npos || charset_end + 2 >= value.size() ||
        value[charset_end + 2] != '?') {
        return false;
    }
    char encoding = static_cast<char>(std::toupper(static_cast<unsigned char>(value[charset_end + 1])));
    if (encoding != 'B' && encoding != 'Q') {
        return false;
    }
    std::size_t text_start = charset_end + 3;
    std::size_t text_end = value.find("?=", text_start);
    if (text_end == std::string::npos) {
        return false;
    }
    std::string text = value.substr(text_start, text_end - text_start);
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            return false;
        }
    }
    word.charset = value.substr(start + 2, charset_end - start - 2);
    std::size_t language = word.charset.find('*'); // RFC 2231 language suffix
    if (language != std::string::npos) {
        word.charset.erase(language);
    }
    word.bytes = encoding == 'B' ? base64_decode(text) : q_decode(text);
    word.end = text_end + 2;
    return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

void base64_encode_lines_into(const char *bytes, std::size_t size, std::string &out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes);
    out.reserve(out.size() + size / 3 * 4 + size / kBase64LineBytes * 2 + 8);
    std::size_t line = 0;
    for (std::size_t i = 0; i < size; i += 3) {
        encode_group(in + i, size - i < 3 ? size - i : 3, out);
        line += 4;
        if (line == kBase64LineLength) {
            out += "\r\n";
            line = 0;
        }
    }
    if (line > 0) {
        out += "\r\n";
    }
}

std::string base64_encode_lines(const std::string &bytes)
{
    std::string out;
    base64_encode_lines_into(bytes.data(), bytes.size(), out);
    return out;
}

std::string base64_encode(const std::string &bytes)
{
    std::string out;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        encode_group(in + i, bytes.size() - i < 3 ? bytes.size() - i : 3, out);
    }
    return out;
}

std::string base64_decode(const std::string &text)
{
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    unsigned value = 0;
    int bits = 0;
    for (unsigned char c : text) {
        if (c == '=') {
            break;
        }
        int digit = base64_value(c);
        if (digit < 0) {
            continue;
        }
        value = (value << 6) | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return bytes;
}

std::string quoted_printable_encode(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t line = 0;
    auto emit = [&](const std::string &piece) {
        // Leave room for the "=" of a soft break.
        if (line + piece.size() > kQuotedPrintableLineLength - 1) {
            out += "=\r\n";
            line = 0;
        }
        out += piece;
        line += piece.size();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool line_ends_next = i + 1 == text.size() || text[i + 1] == '\n';
        if (c == '\n') {
            out += "\r\n";
            line = 0;
        } else if ((c == ' ' || c == '\t') && !line_ends_next) {
            emit(std::string(1, static_cast<char>(c)));
        } else if (c >= 33 && c <= 126 && c != '=') {
            // A line starting with "." or "From " survives every transport.
            if (line == 0 && (c == '.' || (c == 'F' && text.compare(i, 5, "From ") == 0))) {
                emit(std::string("=") + kHexDigits[c >> 4] + kHexDigits[c & 15]);
            } else {
                emit(std::string(1, static_cast<char>(c)));
            }
        } else {
            emit(std::string("=") + kHexDigits[c >> 4] + kHexDigits[c & 15]);
        }
    }
    return out;
}

std::string quoted_printable_decode(const std::string &text)
{
    std::string bytes;
    bytes.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // One line: up to and without its line end.
        std::size_t end = text.find('\n', i);
        bool has_end = end != std::string::npos;
        if (!has_end) {
            end = text.size();
        }
        std::size_t content_end = end;
        if (has_end && content_end > i && text[content_end - 1] == '\r') {
            --content_end;
        }
        // Blanks at the end of a line were added in transport.
        while (content_end > i && (text[content_end - 1] == ' ' || text[content_end - 1] == '\t')) {
            --content_end;
        }
        bool soft_break = false;
        for (std::size_t k = i; k < content_end; ++k) {
            char c = text[k];
            if (c != '=') {
                bytes += c;
                continue;
            }
            if (k + 1 == content_end) {
                soft_break = true;
                break;
            }
            int high = k + 2 < content_end ? hex_value(static_cast<unsigned char>(text[k + 1])) : -1;
            int low = k + 2 < content_end ? hex_value(static_cast<unsigned char>(text[k + 2])) : -1;
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                k += 2;
            } else {
                bytes += c;
            }
        }
        if (has_end && !soft_break) {
            bytes += "\r\n";
        }
        i = has_end ? end + 1 : end;
    }
    return bytes;
}

std::string raw_header_bytes_to_host(const std::string &value)
{
    if (is_ascii(value)) {
        return value;
    }
    return charset_to_host(value, is_valid_utf8(value) ? "utf-8" : "windows-1252");
}

std::string decode_header_text(const std::string &value)
{
    // Pieces of text: plain runs and decoded words; blanks between two
    // encoded words vanish, and adjacent words of one charset are joined
    // before decoding, since senders split characters across words.
    struct Piece {
        bool encoded;
        std::string charset;
        std::string bytes;
    };
    std::vector<Piece> pieces;
    std::string plain;
    std::size_t i = 0;
    while (i < value.size()) {
        EncodedWord word;
        if (value.compare(i, 2, "=?") == 0 && parse_encoded_word(value, i, word)) {
            bool only_blanks = true;
            for (char c : plain) {
                only_blanks = only_blanks && is_blank(c);
            }
            if (!pieces.empty() && pieces.back().encoded && only_blanks) {
                plain.clear();
            }
            if (!plain.empty()) {
                pieces.push_back({false, "", plain});
                plain.clear();
            }
            if (!pieces.empty() && pieces.back().encoded && pieces.back().charset == word.charset) {
                pieces.back().bytes += word.bytes;
            } else {
                pieces.push_back({true, word.charset, word.bytes});
            }
            i = word.end;
        } else {
            plain += value[i];
            ++i;
        }
    }
    if (!plain.empty()) {
        pieces.push_back({false, "", plain});
    }
    std::string host;
    for (const Piece &piece : pieces) {
        host += piece.encoded ? charset_to_host(piece.bytes, piece.charset)
                              : raw_header_bytes_to_host(piece.bytes);
    }
    return host;
}

std::string encode_header_words(const std::string &utf8, std::size_t first_line_room)
{
    const std::string prefix = "=?UTF-8?B?";
    const std::string suffix = "?=";
    const std::size_t overhead = prefix.size() + suffix.size();
    // Base64 characters a word holds, in whole groups.
    const std::size_t room = (kEncodedWordLength - overhead) / 4 * 4;
    std::string out;
    std::size_t i = 0;
    bool first = true;
    while (i < utf8.size() || first) {
        // Words after the first start a folded line of their own, after a blank.
        std::size_t line_room = first ? first_line_room : kHeaderLineLength - 1;
        std::size_t word_room = line_room > overhead + 4 ? (line_room - overhead) / 4 * 4 : 4;
        if (word_room > room) {
            word_room = room;
        }
        std::size_t max_bytes = word_room / 4 * 3;
        // Never split a UTF-8 sequence between two words.
        std::size_t take = utf8.size() - i < max_bytes ? utf8.size() - i : max_bytes;
        while (take > 0 && i + take < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + take]) & 0xC0) == 0x80) {
            --take;
        }
        if (take == 0 && i < utf8.size()) {
            take = max_bytes < utf8.size() - i ? max_bytes : utf8.size() - i;
        }
        if (!first) {
            out += "\r\n ";
        }
        out += prefix + base64_encode(utf8.substr(i, take)) + suffix;
        i += take;
        first = false;
    }
    return out;
}

} // namespace provider

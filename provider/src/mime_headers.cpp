#include "mime_headers.h"

#include <cctype>

#include "charsets.h"
#include "mime_codecs.h"

namespace provider {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

int hex_value(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string percent_decode(const std::string &text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex_value(static_cast<unsigned char>(text[i + 1])) >= 0 &&
            hex_value(static_cast<unsigned char>(text[i + 2])) >= 0) {
            bytes += static_cast<char>(hex_value(static_cast<unsigned char>(text[i + 1])) * 16 +
                                       hex_value(static_cast<unsigned char>(text[i + 2])));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// Reads a quoted string starting at text[i] == '"'; i ends after it.
std::string read_quoted(const std::string &text, std::size_t &i)
{
    std::string content;
    ++i;
    while (i < text.size() && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
        }
        content += text[i];
        ++i;
    }
    if (i < text.size()) {
        ++i;
    }
    return content;
}

// Skips a comment starting at text[i] == '('; nested comments count.
std::string read_comment(const std::string &text, std::size_t &i)
{
    std::string content;
    int depth = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            content += text[i + 1];
            i += 2;
            continue;
        }
        ++i;
        if (c == '(') {
            if (depth++ > 0) content += c;
        } else if (c == ')') {
            if (--depth == 0) break;
            content += c;
        } else {
            content += c;
        }
    }
    return content;
}

struct PendingParameter {
    std::map<int, std::string> sections; // section number to text
    std::map<int, bool> encoded;
};

} // namespace

std::string lower_ascii(std::string text)
{
    for (char &c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool equals_ignoring_case(const std::string &a, const std::string &b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string trim_blanks(const std::string &text)
{
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
    while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(start, end - start);
}

const HeaderField *HeaderBlock::find(const std::string &name) const
{
    for (const HeaderField &field : fields) {
        if (equals_ignoring_case(field.name, name)) {
            return &field;
        }
    }
    return nullptr;
}

std::string HeaderBlock::value(const std::string &name) const
{
    const HeaderField *field = find(name);
    return field != nullptr ? field->value : std::string();
}

std::size_t parse_header_block(const std::string &text, std::size_t start, std::size_t end,
                               HeaderBlock &block)
{
    std::size_t i = start;
    while (i < end) {
        std::size_t line_end = text.find('\n', i);
        if (line_end == std::string::npos || line_end >= end) {
            line_end = end;
        }
        std::size_t content_end = line_end;
        if (content_end > i && text[content_end - 1] == '\r') {
            --content_end;
        }
        std::size_t next = line_end < end ? line_end + 1 : end;
        if (content_end == i) {
            return next; // the blank line
        }
        if (is_blank(text[i])) {
            // A continuation line of the field before.
            if (!block.fields.empty()) {
                block.fields.back().value += ' ';
                block.fields.back().value += trim_blanks(text.substr(i, content_end - i));
                block.fields.back().raw_end = next;
            }
            i = next;
            continue;
        }
        std::size_t colon = text.find(':', i);
        bool is_field = colon != std::string::npos && colon < content_end && colon > i;
        if (is_field) {
            for (std::size_t k = i; k < colon; ++k) {
                unsigned char c = static_cast<unsigned char>(text[k]);
                if (c <= 32 || c >= 127) {
                    // Some writers put blanks before the colon; allow them at the end only.
                    std::size_t rest = k;
                    while (rest < colon && is_blank(text[rest])) ++rest;
                    if (rest != colon) {
                        is_field = false;
                    }
                    break;
                }
            }
        }
        if (!is_field) {
            if (text.compare(i, 5, "From ") == 0 && block.fields.empty()) {
                i = next; // an mbox separator line in front of the message
                continue;
            }
            return i; // the body starts here, without a blank line
        }
        HeaderField field;
        field.name = trim_blanks(text.substr(i, colon - i));
        field.value = trim_blanks(text.substr(colon + 1, content_end - colon - 1));
        field.raw_start = i;
        field.raw_end = next;
        block.fields.push_back(field);
        i = next;
    }
    return end;
}

std::string ParameterizedValue::parameter(const std::string &name) const
{
    auto found = parameters.find(name);
    return found != parameters.end() ? found->second : std::string();
}

std::string ParameterizedValue::raw_parameter(const std::string &name) const
{
    auto found = raw.find(name);
    return found != raw.end() ? found->second : std::string();
}

ParameterizedValue parse_parameterized(const std::string &field_value)
{
    ParameterizedValue result;
    std::size_t i = 0;
    const std::string &text = field_value;
    // The value itself, up to the first ";".
    std::string value;
    while (i < text.size() && text[i] != ';') {
        if (text[i] == '(') {
            read_comment(text, i);
            continue;
        }
        if (text[i] == '"') {
            value += read_quoted(text, i);
            continue;
        }
        if (!std::isspace(static_cast<unsigned char>(text[i]))) {
            value += text[i];
        }
        ++i;
    }
    result.value = lower_ascii(value);

    std::map<std::string, PendingParameter> pending;
    while (i < text.size()) {
        ++i; // the ";"
        while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == '(')) {
            if (text[i] == '(') {
                read_comment(text, i);
            } else {
                ++i;
            }
        }
        std::string name;
        while (i < text.size() && text[i] != '=' && text[i] != ';') {
            if (!std::isspace(static_cast<unsigned char>(text[i]))) {
                name += text[i];
            }
            ++i;
        }
        if (i >= text.size() || text[i] != '=') {
            continue;
        }
        ++i;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        std::string raw_value;
        if (i < text.size() && text[i] == '"') {
            raw_value = read_quoted(text, i);
        }
        while (i < text.size() && text[i] != ';') {
            if (text[i] == '(') {
                read_comment(text, i);
                continue;
            }
            if (!std::isspace(static_cast<unsigned char>(text[i]))) {
                raw_value += text[i];
            }
            ++i;
        }
        name = lower_ascii(name);
        if (name.empty()) {
            continue;
        }
        // RFC 2231: name*, name*0, name*0*, name*1 ...
        bool encoded = false;
        int section = -1;
        std::size_t star = name.find('*');
        std::string base = name;
        if (star != std::string::npos) {
            base = name.substr(0, star);
            std::string rest = name.substr(star + 1);
            if (!rest.empty() && rest.back() == '*') {
                encoded = true;
                rest.pop_back();
            } else if (rest.empty()) {
                encoded = true;
            }
            if (!rest.empty()) {
                section = 0;
                for (char c : rest) {
                    if (!std::isdigit(static_cast<unsigned char>(c)) || section > 9999) {
                        section = -2;
                        break;
                    }
                    section = section * 10 + (c - '0');
                }
                if (section == -2) {
                    continue;
                }
            } else {
                section = 0;
            }
        }
        if (section < 0) {
            if (result.raw.count(base) == 0) {
                result.raw[base] = raw_value;
            }
            continue;
        }
        PendingParameter &entry = pending[base];
        if (entry.sections.count(section) == 0) {
            entry.sections[section] = raw_value;
            entry.encoded[section] = encoded;
        }
    }

    for (const auto &[name, plain] : result.raw) {
        result.parameters[name] = decode_header_text(plain);
    }
    for (const auto &[name, entry] : pending) {
        std::string charset;
        std::string bytes;
        int expected = 0;
        for (const auto &[section, piece] : entry.sections) {
            if (section != expected++) {
                break; // a gap ends the value
            }
            std::string part = piece;
            if (entry.encoded.at(section)) {
                if (section == 0) {
                    std::size_t first = part.find('\'');
                    std::size_t second = first == std::string::npos ? first : part.find('\'', first + 1);
                    if (second != std::string::npos) {
                        charset = part.substr(0, first);
                        part = part.substr(second + 1);
                    }
                }
                part = percent_decode(part);
            }
            bytes += part;
        }
        // An RFC 2231 value wins over a plain one of the same name.
        result.raw[name] = bytes;
        result.parameters[name] =
            charset.empty() ? raw_header_bytes_to_host(bytes) : charset_to_host(bytes, charset);
    }
    return result;
}

std::vector<Mailbox> parse_address_list(const std::string &field_value)
{
    std::vector<Mailbox> mailboxes;
    const std::string &text = field_value;
    std::string phrase;     // display name words so far
    std::string comment;    // the last comment, a name in the old "addr (Name)" form
    std::string address;
    bool has_angle = false;

    auto finish = [&]() {
        Mailbox mailbox;
        std::string spec = trim_blanks(has_angle ? address : phrase);
        if (!spec.empty()) {
            mailbox.address = spec;
            std::string name = has_angle ? trim_blanks(phrase) : trim_blanks(comment);
            // Encoded words count even inside quotes, as many senders put them there.
            mailbox.name = decode_header_text(name);
            // An address with blanks inside is two words, not an address.
            std::string compact;
            for (char c : mailbox.address) {
                if (!std::isspace(static_cast<unsigned char>(c))) compact += c;
            }
            mailbox.address = compact;
            mailboxes.push_back(mailbox);
        }
        phrase.clear();
        comment.clear();
        address.clear();
        has_angle = false;
    };

    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '"') {
            phrase += read_quoted(text, i);
        } else if (c == '(') {
            comment = read_comment(text, i);
        } else if (c == '<') {
            ++i;
            has_angle = true;
            address.clear();
            while (i < text.size() && text[i] != '>') {
                if (text[i] == '"') {
                    address += read_quoted(text, i);
                    continue;
                }
                address += text[i];
                ++i;
            }
            if (i < text.size()) ++i;
            // An obsolete source route ("@a,@b:") is not part of the address.
            std::size_t route = address.find(':');
            if (!address.empty() && address[0] == '@' && route != std::string::npos) {
                address = address.substr(route + 1);
            }
        } else if (c == ',' || c == ';') {
            finish();
            ++i;
        } else if (c == ':' && !has_angle) {
            // A group's name: what follows are its members.
            phrase.clear();
            comment.clear();
            ++i;
        } else {
            if (has_angle && !std::isspace(static_cast<unsigned char>(c))) {
                // Text after <...>: keep it out of the address.
            } else if (!has_angle) {
                phrase += c;
            }
            ++i;
        }
    }
    finish();
    return mailboxes;
}

} // namespace provider

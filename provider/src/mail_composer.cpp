#include "mail_composer.h"

#include <cctype>

#include "charsets.h"
#include "mime_codecs.h"
#include "platform/files.h"
#include "platform/host_codepage.h"

namespace provider {

namespace {

// A header line should fit this many characters (RFC 5322 2.1.1).
const std::size_t kHeaderLineLength = 78;
// No line may be longer than this (RFC 5322 2.1.1).
const std::size_t kLongestLine = 998;
// Attachments are read and encoded in pieces of this many bytes.
const std::size_t kAttachmentChunk = kBase64LineBytes * 1024;

struct ContentTypeForExtension {
    const char *extension;
    const char *type;
};
const ContentTypeForExtension kContentTypes[] = {
    {".txt", "text/plain"},       {".htm", "text/html"},        {".html", "text/html"},
    {".csv", "text/csv"},         {".xml", "application/xml"},  {".pdf", "application/pdf"},
    {".png", "image/png"},        {".jpg", "image/jpeg"},       {".jpeg", "image/jpeg"},
    {".gif", "image/gif"},        {".zip", "application/zip"},  {".eml", "message/rfc822"},
    {".doc", "application/msword"}, {".xls", "application/vnd.ms-excel"},
};
const char *const kDefaultContentType = "application/octet-stream";

const char kRfc5322Specials[] = "()<>[]:;@\\,.\"";
// Characters that may stand bare in an RFC 2231 value.
const char kAttributeChars[] = "!#$&+-.^_`|~";

std::string content_type_for(const std::string &file_name)
{
    std::size_t dot = file_name.rfind('.');
    if (dot == std::string::npos) {
        return kDefaultContentType;
    }
    std::string extension;
    for (std::size_t i = dot; i < file_name.size(); ++i) {
        extension += static_cast<char>(std::tolower(static_cast<unsigned char>(file_name[i])));
    }
    for (const ContentTypeForExtension &known : kContentTypes) {
        if (extension == known.extension) {
            return known.type;
        }
    }
    return kDefaultContentType;
}

std::string quoted_string(const std::string &text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

// A folded header field: words joined by blanks, folded before a word that
// would pass the line length.
std::string fold_field(const std::string &name, const std::vector<std::string> &items, const char *separator)
{
    std::string field = name + ":";
    std::size_t line = field.size();
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string item = items[i] + (i + 1 < items.size() ? separator : "");
        if (i > 0 && line + 1 + item.size() > kHeaderLineLength) {
            field += "\r\n";
            line = 0;
        }
        field += " " + item;
        std::size_t last_break = field.rfind('\n');
        line = last_break == std::string::npos ? field.size() : field.size() - last_break - 1;
    }
    return field + "\r\n";
}

// An unstructured field's text (Subject): ASCII words folded at blanks, or
// encoded words when the text is not ASCII.
std::string unstructured_field(const std::string &name, const std::string &host_text)
{
    std::string text = single_line(host_text);
    std::string utf8 = encode_utf8(host_to_unicode(text));
    bool fits_bare = is_ascii(utf8) && utf8.find("=?") == std::string::npos;
    std::vector<std::string> words;
    if (fits_bare) {
        // Blanks stay where they are: each word keeps the blanks before it.
        std::size_t start = 0;
        for (std::size_t i = 1; i <= utf8.size(); ++i) {
            if (i == utf8.size() || (utf8[i] == ' ' && utf8[i - 1] != ' ')) {
                words.push_back(utf8.substr(start, i - start));
                start = i;
            }
        }
        std::string field = name + ":";
        if (words.empty()) {
            return field + " \r\n";
        }
        field += ' ';
        std::size_t line = field.size();
        for (const std::string &word : words) {
            if (line + word.size() > kHeaderLineLength && line > name.size() + 2 && word[0] == ' ') {
                // Folding puts the line break before the blank.
                field += "\r\n";
                line = 0;
            }
            field += word;
            line += word.size();
        }
        return field + "\r\n";
    }
    return name + ": " + encode_header_words(utf8, kHeaderLineLength - name.size() - 2) + "\r\n";
}

std::string mailbox_text(const std::string &name, const std::string &address)
{
    std::string clean = single_line(name);
    if (clean.empty() || clean == address) {
        return address;
    }
    return header_phrase(clean, kHeaderLineLength / 2) + " <" + address + ">";
}

// A parameter of a Content-Type or Content-Disposition field: quoted when
// ASCII, in RFC 2231 form when not.
std::string file_name_parameter(const char *name, const std::string &host_name)
{
    std::string utf8 = encode_utf8(host_to_unicode(single_line(host_name)));
    if (is_ascii(utf8)) {
        return std::string(name) + "=" + quoted_string(utf8);
    }
    const char kHex[] = "0123456789ABCDEF";
    std::string encoded = std::string(name) + "*=utf-8''";
    for (unsigned char c : utf8) {
        bool bare = std::isalnum(c) && c < 0x80;
        for (const char *k = kAttributeChars; *k != '\0' && !bare; ++k) {
            bare = c == static_cast<unsigned char>(*k);
        }
        if (bare) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

// How the text part goes on the wire: bare 7-bit lines when that is safe,
// quoted-printable otherwise.
bool text_fits_7bit(const std::string &utf8)
{
    std::size_t line = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '\n') {
            if (i > 0 && (utf8[i - 1] == ' ' || utf8[i - 1] == '\t')) return false;
            line = 0;
            continue;
        }
        if (c >= 0x80 || (c < 32 && c != '\t') || c == 127) return false;
        if (line == 0 && (c == '.' || utf8.compare(i, 5, "From ") == 0)) return false;
        if (++line > kLongestLine) return false;
    }
    if (!utf8.empty() && (utf8.back() == ' ' || utf8.back() == '\t')) return false;
    // The boundary's "=_" can then never appear in the text.
    return utf8.find("=_") == std::string::npos;
}

std::string note_text_utf8(const std::string &host_text)
{
    std::string lf;
    lf.reserve(host_text.size());
    for (std::size_t i = 0; i < host_text.size(); ++i) {
        if (host_text[i] == '\r') {
            lf += '\n';
            if (i + 1 < host_text.size() && host_text[i + 1] == '\n') ++i;
        } else {
            lf += host_text[i];
        }
    }
    return encode_utf8(host_to_unicode(lf));
}

MapiULong write_text_part(const std::string &note_text, ByteSink &sink)
{
    std::string utf8 = note_text_utf8(note_text);
    std::string part;
    std::string body;
    if (text_fits_7bit(utf8)) {
        part = "Content-Type: text/plain; charset=us-ascii\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
        body.reserve(utf8.size() + utf8.size() / 32);
        for (char c : utf8) {
            if (c == '\n') body += '\r';
            body += c;
        }
    } else {
        part = "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n";
        body = quoted_printable_encode(utf8);
    }
    return sink.write(part) && sink.write(body) ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}

std::string attachment_part_header(const OutgoingAttachment &attachment, const std::string &boundary)
{
    std::string header = "\r\n--" + boundary + "\r\n";
    header += "Content-Type: " + content_type_for(attachment.file_name) + "; " +
              file_name_parameter("name", attachment.file_name) + "\r\n";
    header += "Content-Transfer-Encoding: base64\r\n";
    header += "Content-Disposition: attachment; " + file_name_parameter("filename", attachment.file_name) +
              "\r\n\r\n";
    return header;
}

// Base64 of bytes without the CR LF of the last line: the delimiter's
// own line end follows.
bool write_base64_piece(const char *bytes, std::size_t size, std::string &encoded, ByteSink &sink)
{
    encoded.clear();
    base64_encode_lines_into(bytes, size, encoded);
    if (encoded.size() >= 2) {
        encoded.resize(encoded.size() - 2);
    }
    return sink.write(encoded);
}

MapiULong write_attachment_part(const OutgoingAttachment &attachment, const std::string &boundary, ByteSink &sink)
{
    std::string encoded;
    if (attachment.from_memory) {
        bool written = sink.write(attachment_part_header(attachment, boundary)) &&
                       write_base64_piece(attachment.bytes.data(), attachment.bytes.size(), encoded, sink);
        return written ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
    }
    IoError error = IoError::None;
    File file = File::open_read(attachment.path, error);
    if (!file.is_open()) {
        return error == IoError::NotFound ? MAPI_E_ATTACHMENT_NOT_FOUND : MAPI_E_ATTACHMENT_OPEN_FAILURE;
    }
    if (!sink.write(attachment_part_header(attachment, boundary))) {
        return MAPI_E_FAILURE;
    }
    // Pieces of whole base64 lines, so the lines run on unbroken.
    std::string chunk(kAttachmentChunk, '\0');
    std::size_t filled = 0;
    bool first_piece = true;
    for (;;) {
        std::size_t got = 0;
        if (!file.read(&chunk[filled], chunk.size() - filled, got)) {
            return MAPI_E_ATTACHMENT_OPEN_FAILURE;
        }
        filled += got;
        if (got != 0 && filled < chunk.size()) {
            continue;
        }
        if (filled > 0) {
            if ((!first_piece && !sink.write("\r\n", 2)) || !write_base64_piece(chunk.data(), filled, encoded, sink)) {
                return MAPI_E_FAILURE;
            }
            first_piece = false;
        }
        if (got == 0) {
            return SUCCESS_SUCCESS;
        }
        filled = 0;
    }
}

} // namespace

std::string single_line(const std::string &text)
{
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        line += c == '\r' || c == '\n' || c == '\0' || c == '\t' ? ' ' : c;
    }
    return line;
}

std::string header_phrase(const std::string &host_name, std::size_t first_line_room)
{
    std::string utf8 = encode_utf8(host_to_unicode(single_line(host_name)));
    if (!is_ascii(utf8) || utf8.find("=?") != std::string::npos) {
        return encode_header_words(utf8, first_line_room);
    }
    for (char c : utf8) {
        for (const char *s = kRfc5322Specials; *s != '\0'; ++s) {
            if (c == *s) {
                return quoted_string(utf8);
            }
        }
    }
    return utf8;
}

std::string compose_subject_field(const std::string &subject) { return unstructured_field("Subject", subject); }

std::string compose_address_field(const char *name, const std::vector<OutgoingRecipient> &recipients,
                                  MapiULong recip_class)
{
    std::vector<std::string> items;
    for (const OutgoingRecipient &recipient : recipients) {
        if (recipient.recip_class == recip_class) {
            items.push_back(mailbox_text(recipient.name, recipient.address));
        }
    }
    return items.empty() ? std::string() : fold_field(name, items, ",");
}

MapiULong compose_body(const OutgoingMessage &message, ByteSink &sink)
{
    std::string fields = "MIME-Version: 1.0\r\n";
    if (message.attachments.empty()) {
        if (!sink.write(fields)) {
            return MAPI_E_FAILURE;
        }
        return write_text_part(message.note_text, sink);
    }
    fields += "Content-Type: multipart/mixed; boundary=\"" + message.boundary + "\"\r\n\r\n";
    fields += "This is a multi-part message in MIME format.\r\n\r\n--" + message.boundary + "\r\n";
    if (!sink.write(fields)) {
        return MAPI_E_FAILURE;
    }
    MapiULong result = write_text_part(message.note_text, sink);
    for (const OutgoingAttachment &attachment : message.attachments) {
        if (result != SUCCESS_SUCCESS) {
            return result;
        }
        result = write_attachment_part(attachment, message.boundary, sink);
    }
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    return sink.write("\r\n--" + message.boundary + "--\r\n") ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}

MapiULong compose_message(const OutgoingMessage &message, const std::string &leading_fields, bool include_bcc,
                          ByteSink &sink)
{
    std::string header = leading_fields;
    header += "Date: " + message.date + "\r\n";
    header += fold_field("From", {mailbox_text(message.from_name, message.from_address)}, "");
    std::string to = compose_address_field("To", message.recipients, MAPI_TO);
    std::string cc = compose_address_field("Cc", message.recipients, MAPI_CC);
    // Without visible recipients, an empty group says so (RFC 5322 3.6.3).
    header += to.empty() && cc.empty() ? std::string("To: undisclosed-recipients:;\r\n") : to + cc;
    if (include_bcc) {
        header += compose_address_field("Bcc", message.recipients, MAPI_BCC);
    }
    header += compose_subject_field(message.subject);
    header += "Message-ID: " + message.message_id + "\r\n";
    if (message.receipt_requested) {
        header += "Disposition-Notification-To: " + message.from_address + "\r\n";
    }
    if (!sink.write(header)) {
        return MAPI_E_FAILURE;
    }
    return compose_body(message, sink);
}

} // namespace provider

#include "mail_reader.h"

#include "charsets.h"
#include "html_text.h"
#include "mime_codecs.h"
#include "platform/host_codepage.h"

namespace provider {

namespace {

struct TypeExtension {
    const char *type;
    const char *extension;
};
const TypeExtension kExtensions[] = {
    {"text/plain", ".txt"},      {"text/html", ".htm"},  {"text/calendar", ".ics"},
    {"image/png", ".png"},       {"image/jpeg", ".jpg"}, {"image/gif", ".gif"},
    {"application/pdf", ".pdf"}, {"message/rfc822", ".eml"}, {"application/zip", ".zip"},
};
const char *const kDefaultExtension = ".dat";

bool is_attachment_like(const MimePart &part)
{
    return part.disposition.value == "attachment" || !part.disposition.parameter("filename").empty() ||
           !part.content_type.parameter("name").empty();
}

bool is_body_candidate(const MimePart &part)
{
    return (part.has_type("text/plain") || part.has_type("text/html")) && !is_attachment_like(part);
}

std::string part_file_name(const MimePart &part, std::size_t number)
{
    std::string name = part.disposition.parameter("filename");
    if (name.empty()) {
        name = part.content_type.parameter("name");
    }
    name = trim_blanks(name);
    if (!name.empty()) {
        return name;
    }
    const char *extension = kDefaultExtension;
    for (const TypeExtension &known : kExtensions) {
        if (part.content_type.value == known.type) {
            extension = known.extension;
        }
    }
    return "attachment " + std::to_string(number) + extension;
}

class BodyWalker {
  public:
    BodyWalker(const std::string &text, MailContent &content) : text_(text), content_(content) {}

    void walk(const MimePart &part)
    {
        if (part.is_multipart() && !part.children.empty()) {
            if (part.has_type("multipart/alternative")) {
                walk(choose_alternative(part));
            } else {
                for (const MimePart &child : part.children) {
                    walk(child);
                }
            }
            return;
        }
        if (!body_found_ && (is_body_candidate(part) || (part.is_multipart() && part.children.empty()))) {
            body_found_ = true;
            content_.note_text = part.has_type("text/html") ? html_part_text(part) : part_text_for_host(text_, part);
            return;
        }
        content_.attachments.push_back({part_file_name(part, content_.attachments.size() + 1), &part});
    }

  private:
    // Plain text where there is one, else HTML, else the first.
    const MimePart &choose_alternative(const MimePart &part)
    {
        for (const MimePart &child : part.children) {
            if (child.has_type("text/plain") && !is_attachment_like(child)) return child;
        }
        for (const MimePart &child : part.children) {
            if (child.has_type("multipart/related") || child.has_type("multipart/mixed")) return child;
        }
        for (const MimePart &child : part.children) {
            if (child.has_type("text/html") && !is_attachment_like(child)) return child;
        }
        return part.children.front();
    }

    std::string html_part_text(const MimePart &part)
    {
        std::string bytes = decode_body(text_, part);
        std::string charset = part.content_type.raw_parameter("charset");
        std::optional<std::u32string> unicode = decode_charset(bytes, charset);
        std::u32string html = unicode ? *unicode : decode_utf8(bytes);
        return normalise_note_text(unicode_to_host(html_to_text(html)));
    }

    const std::string &text_;
    MailContent &content_;
    bool body_found_ = false;
};

void add_recipients(const HeaderBlock &headers, const char *field, MapiULong recip_class,
                    std::vector<MailRecipient> &recipients)
{
    for (const HeaderField &header : headers.fields) {
        if (!equals_ignoring_case(header.name, field)) {
            continue;
        }
        for (const Mailbox &mailbox : parse_address_list(header.value)) {
            recipients.push_back({recip_class, mailbox.name, mailbox.address});
        }
    }
}

bool received_time(const HeaderBlock &headers, UnixTime &time)
{
    // The newest trace field comes first; its date follows the last ";".
    const HeaderField *received = headers.find("Received");
    if (received != nullptr) {
        std::size_t semicolon = received->value.rfind(';');
        if (semicolon != std::string::npos && parse_mail_date(received->value.substr(semicolon + 1), time)) {
            return true;
        }
    }
    const HeaderField *date = headers.find("Date");
    return date != nullptr && parse_mail_date(date->value, time);
}

} // namespace

std::string normalise_note_text(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\0') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string part_text_for_host(const std::string &text, const MimePart &part)
{
    std::string bytes = decode_body(text, part);
    std::string charset = part.content_type.raw_parameter("charset");
    return normalise_note_text(charset_to_host(bytes, charset.empty() ? "us-ascii" : charset));
}

std::string MailContent::attachment_bytes(const MailAttachment &attachment) const
{
    return decode_body(text, *attachment.part);
}

std::unique_ptr<MailContent> read_mail(std::string bytes)
{
    auto content = std::make_unique<MailContent>();
    content->text = std::move(bytes);
    content->root = parse_message(content->text);
    const HeaderBlock &headers = content->root.headers;

    content->subject = normalise_note_text(decode_header_text(headers.value("Subject")));
    std::vector<Mailbox> from = parse_address_list(headers.value("From"));
    if (from.empty()) {
        from = parse_address_list(headers.value("Sender"));
    }
    content->originator.recip_class = MAPI_ORIG;
    if (!from.empty()) {
        content->originator.name = from.front().name;
        content->originator.address = from.front().address;
    }
    add_recipients(headers, "To", MAPI_TO, content->recipients);
    add_recipients(headers, "Cc", MAPI_CC, content->recipients);
    add_recipients(headers, "Bcc", MAPI_BCC, content->recipients);
    content->has_received_time = received_time(headers, content->received_time);
    content->receipt_requested =
        headers.find("Disposition-Notification-To") != nullptr || headers.find("Return-Receipt-To") != nullptr;

    BodyWalker walker(content->text, *content);
    walker.walk(content->root);
    return content;
}

} // namespace provider

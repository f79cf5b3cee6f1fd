// A stored message as Simple MAPI presents it: subject, originator,
// recipients, received date, the text body as note text and the other
// parts as attachments, every text in the host's code page.
#ifndef ZORVA_PROVIDER_MAIL_READER_H
#define ZORVA_PROVIDER_MAIL_READER_H

#include <memory>
#include <string>
#include <vector>

#include "mail_dates.h"
#include "mapi/simple_mapi.h"
#include "mime_parser.h"

namespace provider {

struct MailRecipient {
    MapiULong recip_class = MAPI_TO;
    std::string name;    // host text
    std::string address; // as written
};

struct MailAttachment {
    std::string file_name; // host text, never empty
    const MimePart *part = nullptr;
};

struct MailContent {
    std::string text; // the message file's bytes
    MimePart root;
    std::string subject;
    MailRecipient originator;
    std::vector<MailRecipient> recipients; // To, Cc, then Bcc
    bool has_received_time = false;
    UnixTime received_time = 0;
    std::string note_text; // host text, LF line ends
    std::vector<MailAttachment> attachments;
    bool receipt_requested = false;

    // The attachment's bytes, transfer encoding undone.
    std::string attachment_bytes(const MailAttachment &attachment) const;
};

// Reads a message file's bytes. Holds pointers into itself: never copied.
std::unique_ptr<MailContent> read_mail(std::string bytes);

// Text of a text part, decoded to the host's code page with LF line ends.
std::string part_text_for_host(const std::string &text, const MimePart &part);

// Any line ends as LF; NUL bytes, which no C text can hold, as blanks.
std::string normalise_note_text(const std::string &text);

} // namespace provider

#endif

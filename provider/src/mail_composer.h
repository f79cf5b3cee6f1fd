// Composing an RFC 5322 message with MIME from what a host hands over:
// header fields with encoded words where the text is not ASCII, the note
// text as a text part, and each file as a base64 attachment part.
#ifndef ZORVA_PROVIDER_MAIL_COMPOSER_H
#define ZORVA_PROVIDER_MAIL_COMPOSER_H

#include <string>
#include <vector>

#include "mapi/simple_mapi.h"

namespace provider {

struct OutgoingRecipient {
    MapiULong recip_class = MAPI_TO;
    std::string name;    // host text
    std::string address; // checked, ASCII
};

struct OutgoingAttachment {
    std::string path;      // the file to attach
    std::string file_name; // host text: the name the part carries
    // Bytes already at hand (a stored attachment kept on a rewrite),
    // used instead of a file when from_memory is set.
    bool from_memory = false;
    std::string bytes;
};

struct OutgoingMessage {
    std::string from_name;    // host text
    std::string from_address; // ASCII
    std::vector<OutgoingRecipient> recipients;
    std::string subject;   // host text
    std::string note_text; // host text, any line ends
    std::vector<OutgoingAttachment> attachments;
    std::string date;       // the Date field's value
    std::string message_id; // the Message-ID field's value, with its angle brackets
    std::string boundary;   // of the multipart body; unused without files
    bool receipt_requested = false;
};

// Where composed bytes go.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool write(const char *data, std::size_t size) = 0;
    bool write(const std::string &data) { return write(data.data(), data.size()); }
};

class StringSink : public ByteSink {
  public:
    using ByteSink::write;
    bool write(const char *data, std::size_t size) override
    {
        bytes.append(data, size);
        return true;
    }
    std::string bytes;
};

// Writes the whole message: leading_fields first (complete lines such as a
// Received field), then the header and the body. Bcc fields are written
// only when include_bcc is set. Returns SUCCESS_SUCCESS, or
// MAPI_E_ATTACHMENT_OPEN_FAILURE when a file cannot be read, or
// MAPI_E_FAILURE when the sink refuses bytes.
MapiULong compose_message(const OutgoingMessage &message, const std::string &leading_fields, bool include_bcc,
                          ByteSink &sink);

// Only the header fields of the given message that a rewrite replaces:
// Subject, To, Cc and Bcc, each a complete folded field with its CR LF.
std::string compose_subject_field(const std::string &subject);
std::string compose_address_field(const char *name, const std::vector<OutgoingRecipient> &recipients,
                                  MapiULong recip_class);

// The body part of the message and the header fields that describe it
// (MIME-Version, Content-Type, Content-Transfer-Encoding).
MapiULong compose_body(const OutgoingMessage &message, ByteSink &sink);

// A display name as a header phrase: plain, quoted, or encoded words.
std::string header_phrase(const std::string &host_name, std::size_t first_line_room);

// Text from the host made fit for one header line: no CR, LF or NUL.
std::string single_line(const std::string &text);

} // namespace provider

#endif

// MAPIFindNext, MAPIReadMail and MAPIDeleteMail.
#include <cstring>
#include <ctime>

#include "attachment_files.h"
#include "handout.h"
#include "mail_reader.h"
#include "mapi_operations.h"
#include "mime_headers.h"
#include "platform/system.h"
#include "sessions.h"

namespace provider {

namespace {

// The note text's file when the caller asks for the body as a file.
const char *const kBodyFileName = "message.txt";

bool is_ordinary_mail(const char *message_type)
{
    if (message_type == nullptr || *message_type == '\0') {
        return true;
    }
    return equals_ignoring_case(message_type, "IPM") || equals_ignoring_case(message_type, "IPM.Note");
}

RecipientOut recipient_out(const MailRecipient &recipient)
{
    RecipientOut out;
    out.recip_class = recipient.recip_class;
    out.name = recipient.name;
    out.address = recipient.address;
    return out;
}

} // namespace

MapiULong find_next(MapiHandle session_handle, const char *message_type, const char *seed, MapiULong flags,
                    char *message_id)
{
    SessionUse use;
    MapiULong result = use.begin(session_handle, false);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    if (message_id == nullptr) {
        return MAPI_E_FAILURE;
    }
    if (!is_ordinary_mail(message_type)) {
        return MAPI_E_NO_MESSAGES;
    }
    // The seed may be the output buffer itself: copy it first.
    std::string seed_id = seed != nullptr ? std::string(seed) : std::string();
    if (!seed_id.empty() && !MailStore::is_message_id(seed_id)) {
        return MAPI_E_INVALID_MESSAGE;
    }
    std::string found;
    result = use.session().store.find_next(seed_id, (flags & MAPI_UNREAD_ONLY) != 0, found);
    if (result == SUCCESS_SUCCESS) {
        std::memcpy(message_id, found.c_str(), found.size() + 1);
    }
    return result;
}

MapiULong read_mail(MapiHandle session_handle, const char *message_id, MapiULong flags, MapiMessage **message)
{
    if (message == nullptr) {
        return MAPI_E_FAILURE;
    }
    *message = nullptr;
    SessionUse use;
    MapiULong result = use.begin(session_handle, false);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    Session &session = use.session();
    std::string id = message_id != nullptr ? std::string(message_id) : std::string();
    std::string bytes;
    bool unread = false;
    UnixTime modified = 0;
    result = session.store.read_message(id, bytes, unread, modified);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::unique_ptr<MailContent> content = read_mail(std::move(bytes));

    MessageOut out;
    out.subject = content->subject;
    UnixTime received = content->has_received_time ? content->received_time : modified;
    out.date_received = format_mapi_date(received, local_utc_offset_minutes(static_cast<std::time_t>(received)));
    out.flags = (unread ? MAPI_UNREAD : 0) | (content->receipt_requested ? MAPI_RECEIPT_REQUESTED : 0);
    out.originator = recipient_out(content->originator);
    for (const MailRecipient &recipient : content->recipients) {
        out.recipients.push_back(recipient_out(recipient));
    }

    const bool envelope_only = (flags & MAPI_ENVELOPE_ONLY) != 0;
    const bool write_files = !envelope_only && (flags & MAPI_SUPPRESS_ATTACH) == 0;
    AttachmentWriter writer(session.profile.attachment_folder, id);
    // Envelope only: no text and no files, as nothing but the header was read.
    out.has_note_text = !envelope_only;
    if (!envelope_only && (flags & MAPI_BODY_AS_FILE) != 0) {
        FileOut body;
        body.file_name = kBodyFileName;
        body.has_path = true;
        result = writer.write(kBodyFileName, content->note_text, body.path_name);
        if (result != SUCCESS_SUCCESS) {
            writer.discard();
            return result;
        }
        out.files.push_back(body);
    } else if (!envelope_only) {
        out.note_text = content->note_text;
    }
    for (const MailAttachment &attachment : content->attachments) {
        FileOut file;
        file.file_name = attachment.file_name;
        file.has_path = write_files;
        if (write_files) {
            result = writer.write(attachment.file_name, content->attachment_bytes(attachment), file.path_name);
            if (result != SUCCESS_SUCCESS) {
                writer.discard();
                return result;
            }
        }
        out.files.push_back(file);
    }

    MapiMessage *handed = hand_out_message(out);
    if (handed == nullptr) {
        writer.discard();
        return MAPI_E_INSUFFICIENT_MEMORY;
    }
    if ((flags & MAPI_PEEK) == 0 && !envelope_only && unread) {
        // Marked read only when everything else has worked, and only when
        // more than the header was read: listing an inbox reads nothing.
        result = session.store.mark_read(id);
        if (result != SUCCESS_SUCCESS) {
            release_handout(handed);
            writer.discard();
            return result;
        }
    }
    *message = handed;
    return SUCCESS_SUCCESS;
}

MapiULong delete_mail(MapiHandle session_handle, const char *message_id)
{
    SessionUse use;
    MapiULong result = use.begin(session_handle, false);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::string id = message_id != nullptr ? std::string(message_id) : std::string();
    return use.session().store.delete_message(id);
}

} // namespace provider

// MAPISaveMail: a new message saved into the inbox, or an existing one
// rewritten. A rewrite keeps every byte it is not asked to change: a new
// subject replaces the Subject field only, and the body is composed anew
// only when the note text or the files differ from the stored ones.
#include <cstring>

#include "mail_address.h"
#include "mail_reader.h"
#include "mapi_operations.h"
#include "mime_headers.h"
#include "outgoing_mail.h"
#include "recipients.h"
#include "sessions.h"

namespace provider {

namespace {

bool has_path(const MapiFileDesc &file) { return file.lpszPathName != nullptr && file.lpszPathName[0] != '\0'; }

bool recipients_differ(const MapiMessage &record, const std::vector<OutgoingRecipient> &resolved,
                       const MailContent &stored)
{
    if (resolved.size() != stored.recipients.size()) {
        return true;
    }
    for (std::size_t i = 0; i < resolved.size(); ++i) {
        std::string given_name = record.lpRecips[i].lpszName != nullptr ? trim_blanks(record.lpRecips[i].lpszName) : "";
        const MailRecipient &kept = stored.recipients[i];
        if (resolved[i].recip_class != kept.recip_class || !same_address(resolved[i].address, kept.address) ||
            given_name != kept.name) {
            return true;
        }
    }
    return false;
}

// The attachments of the rewritten body: files the host names, and stored
// attachments where the host's record has no path.
MapiULong attachments_for_rewrite(const MapiMessage &record, const MailContent &stored,
                                  std::vector<OutgoingAttachment> &attachments, bool &same_as_stored)
{
    attachments.clear();
    same_as_stored = record.nFileCount == stored.attachments.size();
    if (record.nFileCount > kMostFiles) {
        return MAPI_E_TOO_MANY_FILES;
    }
    if (record.nFileCount > 0 && record.lpFiles == nullptr) {
        return MAPI_E_ATTACHMENT_NOT_FOUND;
    }
    for (MapiULong i = 0; i < record.nFileCount; ++i) {
        const MapiFileDesc &file = record.lpFiles[i];
        if (!has_path(file)) {
            if (i >= stored.attachments.size()) {
                return MAPI_E_ATTACHMENT_NOT_FOUND;
            }
            OutgoingAttachment kept;
            kept.from_memory = true;
            kept.file_name = stored.attachments[i].file_name;
            kept.bytes = stored.attachment_bytes(stored.attachments[i]);
            attachments.push_back(kept);
            continue;
        }
        std::vector<OutgoingAttachment> checked;
        MapiULong result = check_attachments(&file, 1, checked);
        if (result != SUCCESS_SUCCESS) {
            return result;
        }
        if (same_as_stored) {
            std::string bytes;
            same_as_stored = read_whole_file(checked[0].path, bytes) == IoError::None &&
                             bytes == stored.attachment_bytes(stored.attachments[i]);
        }
        attachments.push_back(checked[0]);
    }
    return SUCCESS_SUCCESS;
}

MapiULong save_new(Session &session, const MapiMessage &record, std::vector<OutgoingRecipient> recipients,
                   char *message_id)
{
    OutgoingMessage message = new_outgoing_message(session.profile);
    message.recipients = std::move(recipients);
    MapiULong result = check_attachments(record.lpFiles, record.nFileCount, message.attachments);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    message.subject = record.lpszSubject != nullptr ? record.lpszSubject : "";
    message.note_text = record.lpszNoteText != nullptr ? record.lpszNoteText : "";
    message.receipt_requested = (record.flFlags & MAPI_RECEIPT_REQUESTED) != 0;
    std::string id;
    result = store_composed(session.store, StoreFolder::Inbox, message, "", true,
                            (record.flFlags & MAPI_UNREAD) != 0, id);
    if (result == SUCCESS_SUCCESS) {
        std::memcpy(message_id, id.c_str(), id.size() + 1);
    }
    return result;
}

MapiULong rewrite(Session &session, const std::string &id, const MapiMessage &record,
                  const std::vector<OutgoingRecipient> &recipients)
{
    std::string bytes;
    bool unread = false;
    UnixTime modified = 0;
    MapiULong result = session.store.read_message(id, bytes, unread, modified);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::unique_ptr<MailContent> stored = read_mail(std::move(bytes));
    const std::string &text = stored->text;

    std::string subject = record.lpszSubject != nullptr ? record.lpszSubject : "";
    const bool subject_changed = normalise_note_text(subject) != stored->subject;
    const bool recipients_changed = recipients_differ(record, recipients, *stored);
    const bool note_given = record.lpszNoteText != nullptr;
    const bool note_same = !note_given || normalise_note_text(record.lpszNoteText) == stored->note_text;
    std::vector<OutgoingAttachment> attachments;
    bool files_same = true;
    if (record.nFileCount == 0) {
        files_same = !note_given || stored->attachments.empty();
    } else {
        result = attachments_for_rewrite(record, *stored, attachments, files_same);
        if (result != SUCCESS_SUCCESS) {
            return result;
        }
    }
    const bool body_kept = note_same && files_same;

    std::string header;
    bool subject_written = false;
    bool recipients_written = false;
    auto recipient_fields = [&]() {
        return compose_address_field("To", recipients, MAPI_TO) + compose_address_field("Cc", recipients, MAPI_CC) +
               compose_address_field("Bcc", recipients, MAPI_BCC);
    };
    for (const HeaderField &field : stored->root.headers.fields) {
        std::string name = lower_ascii(field.name);
        if (name == "subject" && subject_changed) {
            if (!subject_written) header += compose_subject_field(subject);
            subject_written = true;
            continue;
        }
        if ((name == "to" || name == "cc" || name == "bcc") && recipients_changed) {
            if (!recipients_written) header += recipient_fields();
            recipients_written = true;
            continue;
        }
        if (!body_kept && (name == "mime-version" || name.compare(0, 8, "content-") == 0)) {
            continue;
        }
        std::string raw = text.substr(field.raw_start, field.raw_end - field.raw_start);
        if (raw.empty() || raw.back() != '\n') {
            raw += "\r\n";
        }
        header += raw;
    }
    if (subject_changed && !subject_written) header += compose_subject_field(subject);
    if (recipients_changed && !recipients_written) header += recipient_fields();

    TempFile temp;
    result = session.store.create_temp(temp);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    FileSink sink(temp.file);
    if (body_kept) {
        if (!sink.write(header) || !sink.write("\r\n", 2) ||
            !sink.write(text.data() + stored->root.body_start, text.size() - stored->root.body_start)) {
            return temp.file.error() == IoError::DiskFull ? MAPI_E_DISK_FULL : MAPI_E_FAILURE;
        }
    } else {
        OutgoingMessage body = new_outgoing_message(session.profile);
        body.note_text = note_given ? std::string(record.lpszNoteText) : stored->note_text;
        body.attachments = std::move(attachments);
        if (!sink.write(header)) {
            return MAPI_E_FAILURE;
        }
        result = compose_body(body, sink);
        if (result != SUCCESS_SUCCESS) {
            return result;
        }
    }
    result = temp.finish();
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    return session.store.replace_message(id, temp);
}

} // namespace

MapiULong save_mail(MapiHandle session_handle, const MapiMessage *record, MapiULong flags, char *message_id)
{
    (void)flags; // reserved for dialogs and long IDs
    if (record == nullptr || message_id == nullptr) {
        return MAPI_E_FAILURE;
    }
    SessionUse use;
    MapiULong result = use.begin(session_handle, true);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    Session &session = use.session();
    std::vector<OutgoingRecipient> recipients;
    result = resolve_recipients(record->lpRecips, record->nRecipCount, session.address_book(), recipients);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::string id = message_id;
    if (id.empty()) {
        return save_new(session, *record, std::move(recipients), message_id);
    }
    if (!MailStore::is_message_id(id)) {
        return MAPI_E_INVALID_MESSAGE;
    }
    return rewrite(session, id, *record, recipients);
}

} // namespace provider

#include "message_copy.h"

namespace test_provider {

Text copy_text(const char *text)
{
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

char *text_pointer(Text &text)
{
    return text ? text->data() : nullptr;
}

OwnedRecip OwnedRecip::from(const MapiRecipDesc &recip)
{
    OwnedRecip owned;
    owned.reserved = recip.ulReserved;
    owned.recip_class = recip.ulRecipClass;
    owned.name = copy_text(recip.lpszName);
    owned.address = copy_text(recip.lpszAddress);
    owned.eid_size = recip.ulEIDSize;
    owned.eid_present = recip.lpEntryID != nullptr;
    if (owned.eid_present) {
        const auto *bytes = static_cast<const unsigned char *>(recip.lpEntryID);
        owned.eid.assign(bytes, bytes + recip.ulEIDSize);
    }
    return owned;
}

MapiRecipDesc OwnedRecip::view()
{
    MapiRecipDesc recip{};
    recip.ulReserved = reserved;
    recip.ulRecipClass = recip_class;
    recip.lpszName = text_pointer(name);
    recip.lpszAddress = text_pointer(address);
    recip.ulEIDSize = eid_size;
    if (eid_present) {
        eid.reserve(1);
        recip.lpEntryID = eid.data();
    }
    return recip;
}

OwnedFile OwnedFile::from(const MapiFileDesc &file)
{
    OwnedFile owned;
    owned.reserved = file.ulReserved;
    owned.flags = file.flFlags;
    owned.position = file.nPosition;
    owned.path_name = copy_text(file.lpszPathName);
    owned.file_name = copy_text(file.lpszFileName);
    owned.file_type = file.lpFileType;
    return owned;
}

MapiFileDesc OwnedFile::view()
{
    MapiFileDesc file{};
    file.ulReserved = reserved;
    file.flFlags = flags;
    file.nPosition = position;
    file.lpszPathName = text_pointer(path_name);
    file.lpszFileName = text_pointer(file_name);
    file.lpFileType = file_type;
    return file;
}

std::unique_ptr<OwnedMessage> OwnedMessage::from(const MapiMessage &message)
{
    auto owned = std::make_unique<OwnedMessage>();
    owned->reserved = message.ulReserved;
    owned->subject = copy_text(message.lpszSubject);
    owned->note_text = copy_text(message.lpszNoteText);
    owned->message_type = copy_text(message.lpszMessageType);
    owned->date_received = copy_text(message.lpszDateReceived);
    owned->conversation_id = copy_text(message.lpszConversationID);
    owned->flags = message.flFlags;
    if (message.lpOriginator != nullptr) {
        owned->originator = OwnedRecip::from(*message.lpOriginator);
    }
    for (MapiULong i = 0; i < message.nRecipCount; ++i) {
        owned->recips.push_back(OwnedRecip::from(message.lpRecips[i]));
    }
    for (MapiULong i = 0; i < message.nFileCount; ++i) {
        owned->files.push_back(OwnedFile::from(message.lpFiles[i]));
    }
    return owned;
}

std::unique_ptr<OwnedMessage> OwnedMessage::clone() const
{
    auto copy = std::make_unique<OwnedMessage>();
    copy->reserved = reserved;
    copy->subject = subject;
    copy->note_text = note_text;
    copy->message_type = message_type;
    copy->date_received = date_received;
    copy->conversation_id = conversation_id;
    copy->flags = flags;
    copy->originator = originator;
    copy->recips = recips;
    copy->files = files;
    return copy;
}

MapiMessage *OwnedMessage::view()
{
    view_ = MapiMessage{};
    view_.ulReserved = reserved;
    view_.lpszSubject = text_pointer(subject);
    view_.lpszNoteText = text_pointer(note_text);
    view_.lpszMessageType = text_pointer(message_type);
    view_.lpszDateReceived = text_pointer(date_received);
    view_.lpszConversationID = text_pointer(conversation_id);
    view_.flFlags = flags;
    if (originator) {
        originator_view_ = originator->view();
        view_.lpOriginator = &originator_view_;
    }
    recip_views_.clear();
    for (auto &recip : recips) {
        recip_views_.push_back(recip.view());
    }
    file_views_.clear();
    for (auto &file : files) {
        file_views_.push_back(file.view());
    }
    view_.nRecipCount = static_cast<MapiULong>(recips.size());
    view_.lpRecips = recip_views_.empty() ? nullptr : recip_views_.data();
    view_.nFileCount = static_cast<MapiULong>(files.size());
    view_.lpFiles = file_views_.empty() ? nullptr : file_views_.data();
    return &view_;
}

void *OwnedRecipArray::address()
{
    views_.clear();
    views_.reserve(recips.size() + 1);
    for (auto &recip : recips) {
        views_.push_back(recip.view());
    }
    return views_.data(); // the reserve keeps it non-null with no records
}

} // namespace test_provider

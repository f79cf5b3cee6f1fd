#include "handout.h"

#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/system.h"

namespace provider {

namespace {

// An attachment's position in the note text: none.
const MapiULong kNoPosition = 0xFFFFFFFFu;

std::mutex handout_mutex;
std::unordered_set<void *> &live_blocks()
{
    static std::unordered_set<void *> blocks;
    return blocks;
}

// Lays out one block: the records first, then the texts. Run once to
// measure (no buffer) and once to fill.
class BlockWriter {
  public:
    explicit BlockWriter(char *buffer) : buffer_(buffer) {}

    template <typename Record> Record *records(std::size_t count)
    {
        align(alignof(Record));
        Record *place = buffer_ != nullptr ? reinterpret_cast<Record *>(buffer_ + used_) : nullptr;
        if (place != nullptr) {
            std::memset(static_cast<void *>(place), 0, sizeof(Record) * count);
        }
        used_ += sizeof(Record) * count;
        return place;
    }

    char *text(const std::string &value)
    {
        char *place = buffer_ != nullptr ? buffer_ + used_ : nullptr;
        if (place != nullptr) {
            std::memcpy(place, value.c_str(), value.size() + 1);
        }
        used_ += value.size() + 1;
        return place;
    }

    void *bytes(const std::string &value)
    {
        if (value.empty()) {
            return nullptr;
        }
        align(alignof(void *));
        char *place = buffer_ != nullptr ? buffer_ + used_ : nullptr;
        if (place != nullptr) {
            std::memcpy(place, value.data(), value.size());
        }
        used_ += value.size();
        return place;
    }

    std::size_t used() const { return used_; }

  private:
    void align(std::size_t alignment) { used_ = (used_ + alignment - 1) / alignment * alignment; }
    char *buffer_;
    std::size_t used_ = 0;
};

void fill_recipient(BlockWriter &writer, const RecipientOut &source, MapiRecipDesc *target)
{
    char *name = writer.text(source.name);
    char *address = writer.text(source.address);
    void *entry_id = writer.bytes(source.entry_id);
    if (target != nullptr) {
        target->ulRecipClass = source.recip_class;
        target->lpszName = name;
        target->lpszAddress = address;
        target->ulEIDSize = static_cast<MapiULong>(source.entry_id.size());
        target->lpEntryID = entry_id;
    }
}

MapiMessage *lay_out_message(BlockWriter &writer, const MessageOut &source)
{
    MapiMessage *message = writer.records<MapiMessage>(1);
    MapiRecipDesc *originator = writer.records<MapiRecipDesc>(1);
    MapiRecipDesc *recipients = writer.records<MapiRecipDesc>(source.recipients.size());
    MapiFileDesc *files = writer.records<MapiFileDesc>(source.files.size());
    char *subject = writer.text(source.subject);
    char *note_text = source.has_note_text ? writer.text(source.note_text) : nullptr;
    char *message_type = writer.text("");
    char *date = writer.text(source.date_received);
    char *conversation = writer.text("");
    fill_recipient(writer, source.originator, originator);
    for (std::size_t i = 0; i < source.recipients.size(); ++i) {
        fill_recipient(writer, source.recipients[i], recipients != nullptr ? recipients + i : nullptr);
    }
    for (std::size_t i = 0; i < source.files.size(); ++i) {
        char *path = source.files[i].has_path ? writer.text(source.files[i].path_name) : nullptr;
        char *name = writer.text(source.files[i].file_name);
        if (files != nullptr) {
            files[i].nPosition = kNoPosition;
            files[i].lpszPathName = path;
            files[i].lpszFileName = name;
        }
    }
    if (message != nullptr) {
        message->lpszSubject = subject;
        message->lpszNoteText = note_text;
        message->lpszMessageType = message_type;
        message->lpszDateReceived = date;
        message->lpszConversationID = conversation;
        message->flFlags = source.flags;
        message->lpOriginator = originator;
        message->nRecipCount = static_cast<MapiULong>(source.recipients.size());
        message->lpRecips = source.recipients.empty() ? nullptr : recipients;
        message->nFileCount = static_cast<MapiULong>(source.files.size());
        message->lpFiles = source.files.empty() ? nullptr : files;
    }
    return message;
}

char *allocate_registered(std::size_t size)
{
    void *block = heap_block_allocate(size == 0 ? 1 : size);
    if (block == nullptr) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(handout_mutex);
    try {
        live_blocks().insert(block);
    } catch (...) {
        heap_block_free(block);
        return nullptr;
    }
    return static_cast<char *>(block);
}

} // namespace

MapiMessage *hand_out_message(const MessageOut &message)
{
    BlockWriter measure(nullptr);
    lay_out_message(measure, message);
    char *block = allocate_registered(measure.used());
    if (block == nullptr) {
        return nullptr;
    }
    BlockWriter fill(block);
    return lay_out_message(fill, message);
}

MapiRecipDesc *hand_out_recipients(const std::vector<RecipientOut> &recipients)
{
    auto lay_out = [&](BlockWriter &writer) {
        MapiRecipDesc *records = writer.records<MapiRecipDesc>(recipients.size() == 0 ? 1 : recipients.size());
        for (std::size_t i = 0; i < recipients.size(); ++i) {
            fill_recipient(writer, recipients[i], records != nullptr ? records + i : nullptr);
        }
        return records;
    };
    BlockWriter measure(nullptr);
    lay_out(measure);
    char *block = allocate_registered(measure.used());
    if (block == nullptr) {
        return nullptr;
    }
    BlockWriter fill(block);
    return lay_out(fill);
}

MapiULong release_handout(void *block)
{
    if (block == nullptr) {
        return SUCCESS_SUCCESS;
    }
    {
        std::lock_guard<std::mutex> guard(handout_mutex);
        if (live_blocks().erase(block) == 0) {
            return MAPI_E_FAILURE;
        }
    }
    heap_block_free(block);
    return SUCCESS_SUCCESS;
}

int handouts_outstanding()
{
    std::lock_guard<std::mutex> guard(handout_mutex);
    return static_cast<int>(live_blocks().size());
}

} // namespace provider

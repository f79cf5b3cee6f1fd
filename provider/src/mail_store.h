// The mail store: a folder of RFC 5322 files.
//
//   inbox/     messages, "<id>.unread.eml" until read, then "<id>.eml"
//   outbox/    messages waiting for a transport, "<id>.eml"
//   incoming/  complete messages other programs drop in; taken into the
//              inbox as unread mail at the next look
//   tmp/       files being written; never part of the store
//   sequence   the next arrival number
//   store.lock the lock every process takes: shared to read, exclusive
//              to change anything
//
// An ID is the arrival number (ten digits), "-" and eight hex digits.
// Every change is one rename under the exclusive lock, of a file written
// completely beforehand in tmp/, so a crash leaves the old state or the
// new one, never a half-written message. The inbox's index is kept in
// memory and read again only when the folder has changed.
#ifndef ZORVA_PROVIDER_MAIL_STORE_H
#define ZORVA_PROVIDER_MAIL_STORE_H

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "mail_dates.h"
#include "mapi/simple_mapi.h"
#include "platform/files.h"

namespace provider {

enum class StoreFolder { Inbox, Outbox };

struct StoreEntry {
    std::uint64_t sequence = 0;
    std::string id;
    bool unread = false;
};

// A file being written in the store's tmp/ folder; removed by the
// destructor unless it was handed to the store.
class TempFile {
  public:
    TempFile() = default;
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    ~TempFile();
    File file;
    std::string path;
    // Flushes to disk and closes; the error code when that fails.
    MapiULong finish();
    void discard();
    void forget() { path.clear(); } // handed over: the store owns the file now
};

class MailStore {
  public:
    explicit MailStore(std::string root);

    // Creates what is missing, takes in dropped mail, reads the index.
    // MAPI_E_FAILURE (or MAPI_E_ACCESS_DENIED) when the store cannot be used.
    MapiULong open();
    const std::string &root() const { return root_; }

    // The first message when seed is empty, else the one after the seed.
    // MAPI_E_NO_MESSAGES at the end, MAPI_E_INVALID_MESSAGE for a seed
    // that is not a message of the inbox.
    MapiULong find_next(const std::string &seed, bool unread_only, std::string &found);
    // The message's bytes and state; modified is the file's time.
    MapiULong read_message(const std::string &id, std::string &bytes, bool &unread, UnixTime &modified);
    MapiULong mark_read(const std::string &id);
    MapiULong delete_message(const std::string &id);
    // Replaces a message's file with a finished temporary file.
    MapiULong replace_message(const std::string &id, TempFile &replacement);
    // Adds a finished temporary file to a folder as a new message.
    MapiULong add_message(StoreFolder folder, TempFile &message, bool unread, std::string &id);

    // A new file in tmp/ to write a message into.
    MapiULong create_temp(TempFile &temp);

    // The messages of a folder in arrival order, read afresh.
    MapiULong list(StoreFolder folder, std::vector<StoreEntry> &entries);
    // The file of a listed message.
    std::string message_path(StoreFolder folder, const StoreEntry &entry) const;
    // The outbox folder, where a transport claims messages by renaming them.
    std::string outbox_folder() const { return folder_path(StoreFolder::Outbox); }
    // Removes a message of the outbox, once a transport has sent it.
    MapiULong remove_outbox_message(const std::string &id);

    // Whether a text has the form of one of our IDs.
    static bool is_message_id(const std::string &id);

  private:
    struct Index {
        bool valid = false;
        std::int64_t inbox_stamp = 0;
        std::int64_t incoming_stamp = 0;
        std::vector<StoreEntry> entries; // by arrival; removed ones stay with an empty ID
        std::unordered_map<std::string, std::size_t> positions;
        // Positions of the messages still there, and of the unread ones, so
        // finding the next one never walks over removed entries.
        std::set<std::size_t> present;
        std::set<std::size_t> unread;
    };

    std::string folder_path(StoreFolder folder) const;
    std::string inbox_file(const std::string &id, bool unread) const;
    bool lock(FileLock &lock, bool exclusive) const;
    MapiULong refresh(bool force);
    MapiULong rebuild_index();
    MapiULong take_in_dropped_mail();
    MapiULong next_sequence(std::uint64_t &sequence);
    std::string new_id(std::uint64_t sequence);
    // Where a message of the inbox is now, with its state; false when gone.
    bool locate(const std::string &id, std::string &path, bool &unread) const;
    // Takes the store's lock and locates the inbox message `id`.
    MapiULong lock_message(const std::string &id, FileLock &held, bool exclusive, std::string &path,
                           bool &unread) const;
    // After a change of our own under the exclusive lock: keeps the index
    // when nobody else changed the inbox since it was read.
    bool index_still_current() const;
    void note_own_change();
    void sweep_stale_temps();

    std::string root_;
    Index index_;
    std::uint32_t temp_counter_ = 0;
};

} // namespace provider

#endif

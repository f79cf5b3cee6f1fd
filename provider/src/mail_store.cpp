#include "mail_store.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <mutex>
#include <random>

#include "platform/system.h"

namespace provider {

namespace {

const char *const kInboxFolder = "inbox";
const char *const kOutboxFolder = "outbox";
const char *const kIncomingFolder = "incoming";
const char *const kTempFolder = "tmp";
const char *const kSequenceFile = "sequence";
const char *const kLockFile = "store.lock";
const std::string kUnreadSuffix = ".unread.eml";
const std::string kMessageSuffix = ".eml";
const std::string kTempSuffix = ".tmp";

// How long a process waits for the store's lock before it gives up.
const int kLockTimeoutMs = 30000;
// Files in tmp/ older than this were left by a process that died.
const std::int64_t kStaleTempSeconds = 3600;
const std::size_t kSequenceDigits = 10;
const std::size_t kUniqueDigits = 8;
const std::size_t kIdLength = kSequenceDigits + 1 + kUniqueDigits;
const std::int64_t kNanosecondsPerSecond = 1000000000LL;

std::uint32_t random_word()
{
    static std::mutex mutex;
    static std::mt19937 generator = [] {
        std::uint32_t seed = process_id() ^ static_cast<std::uint32_t>(
                                                std::chrono::steady_clock::now().time_since_epoch().count());
        try {
            std::random_device device;
            seed ^= device();
        } catch (...) {
            // The clock and the process ID still make the IDs unlikely to meet.
        }
        return std::mt19937(seed);
    }();
    std::lock_guard<std::mutex> guard(mutex);
    return static_cast<std::uint32_t>(generator());
}

bool ends_with(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool parse_file_name(const std::string &name, StoreEntry &entry)
{
    std::string stem;
    if (ends_with(name, kUnreadSuffix)) {
        stem = name.substr(0, name.size() - kUnreadSuffix.size());
        entry.unread = true;
    } else if (ends_with(name, kMessageSuffix)) {
        stem = name.substr(0, name.size() - kMessageSuffix.size());
        entry.unread = false;
    } else {
        return false;
    }
    if (!MailStore::is_message_id(stem)) {
        return false;
    }
    entry.id = stem;
    entry.sequence = std::stoull(stem.substr(0, kSequenceDigits));
    return true;
}

MapiULong write_error(IoError error)
{
    switch (error) {
    case IoError::DiskFull:
        return MAPI_E_DISK_FULL;
    case IoError::AccessDenied:
        return MAPI_E_ACCESS_DENIED;
    default:
        return MAPI_E_FAILURE;
    }
}

IoError make_folders(const std::string &path)
{
    if (path.empty() || path_info(path).is_directory) {
        return IoError::None;
    }
    std::string parent = parent_folder(path);
    if (!parent.empty() && parent != path) {
        make_folders(parent);
    }
    return make_folder(path);
}

bool sequence_order(const StoreEntry &a, const StoreEntry &b)
{
    return a.sequence != b.sequence ? a.sequence < b.sequence : a.id < b.id;
}

} // namespace

TempFile::~TempFile() { discard(); }

MapiULong TempFile::finish()
{
    if (!file.sync() || !file.close()) {
        return write_error(file.error());
    }
    return SUCCESS_SUCCESS;
}

void TempFile::discard()
{
    file.close();
    if (!path.empty()) {
        remove_file(path);
        path.clear();
    }
}

MailStore::MailStore(std::string root) : root_(std::move(root)) {}

bool MailStore::is_message_id(const std::string &id)
{
    if (id.size() != kIdLength || id[kSequenceDigits] != '-') {
        return false;
    }
    for (std::size_t i = 0; i < kSequenceDigits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(id[i]))) {
            return false;
        }
    }
    for (std::size_t i = kSequenceDigits + 1; i < kIdLength; ++i) {
        unsigned char c = static_cast<unsigned char>(id[i]);
        if (!std::isdigit(c) && !(c >= 'a' && c <= 'f')) {
            return false;
        }
    }
    return true;
}

std::string MailStore::folder_path(StoreFolder folder) const
{
    return join_path(root_, folder == StoreFolder::Inbox ? kInboxFolder : kOutboxFolder);
}

std::string MailStore::inbox_file(const std::string &id, bool unread) const
{
    return join_path(folder_path(StoreFolder::Inbox), id + (unread ? kUnreadSuffix : kMessageSuffix));
}

std::string MailStore::message_path(StoreFolder folder, const StoreEntry &entry) const
{
    if (folder == StoreFolder::Inbox) {
        return inbox_file(entry.id, entry.unread);
    }
    return join_path(folder_path(folder), entry.id + kMessageSuffix);
}

bool MailStore::lock(FileLock &file_lock, bool exclusive) const
{
    return file_lock.acquire(join_path(root_, kLockFile), exclusive, kLockTimeoutMs);
}

MapiULong MailStore::open()
{
    if (make_folders(root_) != IoError::None) {
        return MAPI_E_FAILURE;
    }
    for (const char *folder : {kInboxFolder, kOutboxFolder, kIncomingFolder, kTempFolder}) {
        IoError error = make_folder(join_path(root_, folder));
        if (error != IoError::None) {
            return error == IoError::AccessDenied ? MAPI_E_ACCESS_DENIED : MAPI_E_FAILURE;
        }
    }
    sweep_stale_temps();
    return refresh(true);
}

void MailStore::sweep_stale_temps()
{
    std::string temp_folder = join_path(root_, kTempFolder);
    std::vector<std::string> names;
    if (list_folder(temp_folder, names) != IoError::None) {
        return;
    }
    std::int64_t now_ns = static_cast<std::int64_t>(std::time(nullptr)) * kNanosecondsPerSecond;
    for (const std::string &name : names) {
        std::string path = join_path(temp_folder, name);
        PathInfo info = path_info(path);
        if (info.exists && !info.is_directory &&
            now_ns - info.modified_ns > kStaleTempSeconds * kNanosecondsPerSecond) {
            remove_file(path);
        }
    }
}

MapiULong MailStore::create_temp(TempFile &temp)
{
    temp.discard();
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "%08x-%08x-%08x%s", static_cast<unsigned>(process_id()),
                      static_cast<unsigned>(++temp_counter_), static_cast<unsigned>(random_word()),
                      kTempSuffix.c_str());
        std::string path = join_path(join_path(root_, kTempFolder), name);
        IoError error = IoError::None;
        temp.file = File::create_new(path, error);
        if (temp.file.is_open()) {
            temp.path = path;
            return SUCCESS_SUCCESS;
        }
        if (error != IoError::Exists) {
            return write_error(error);
        }
    }
    return MAPI_E_FAILURE;
}

std::string MailStore::new_id(std::uint64_t sequence)
{
    char id[kIdLength + 1];
    std::snprintf(id, sizeof id, "%010llu-%08x", static_cast<unsigned long long>(sequence),
                  static_cast<unsigned>(random_word()));
    return id;
}

MapiULong MailStore::next_sequence(std::uint64_t &sequence)
{
    // The caller holds the exclusive lock.
    std::string sequence_path = join_path(root_, kSequenceFile);
    std::string text;
    sequence = 0;
    if (read_whole_file(sequence_path, text) == IoError::None) {
        std::string digits;
        for (char c : text) {
            if (std::isdigit(static_cast<unsigned char>(c)) && digits.size() < kSequenceDigits) {
                digits += c;
            }
        }
        if (!digits.empty()) {
            sequence = std::stoull(digits);
        }
    }
    if (sequence == 0) {
        // No number kept, or a damaged one: continue after the highest in use.
        for (StoreFolder folder : {StoreFolder::Inbox, StoreFolder::Outbox}) {
            std::vector<StoreEntry> entries;
            list(folder, entries);
            if (!entries.empty()) {
                sequence = std::max(sequence, entries.back().sequence);
            }
        }
        ++sequence;
    }
    TempFile temp;
    MapiULong result = create_temp(temp);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::string next = std::to_string(sequence + 1) + "\n";
    if (!temp.file.write(next)) {
        return write_error(temp.file.error());
    }
    result = temp.finish();
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    IoError error = rename_path(temp.path, sequence_path, true);
    if (error != IoError::None) {
        return write_error(error);
    }
    temp.forget();
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::list(StoreFolder folder, std::vector<StoreEntry> &entries)
{
    entries.clear();
    std::vector<std::string> names;
    if (list_folder(folder_path(folder), names) != IoError::None) {
        return MAPI_E_FAILURE;
    }
    for (const std::string &name : names) {
        StoreEntry entry;
        if (parse_file_name(name, entry)) {
            if (folder == StoreFolder::Outbox) {
                entry.unread = false;
            }
            entries.push_back(entry);
        }
    }
    std::sort(entries.begin(), entries.end(), sequence_order);
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::take_in_dropped_mail()
{
    // Complete files dropped into incoming/, and stray .eml files put
    // straight into inbox/; names starting with "." or ending in ".tmp" are
    // still being written.
    struct Dropped {
        std::string path;
        std::int64_t modified;
        std::string name;
    };
    std::vector<Dropped> dropped;
    std::vector<std::string> names;
    std::string incoming = join_path(root_, kIncomingFolder);
    if (list_folder(incoming, names) == IoError::None) {
        for (const std::string &name : names) {
            if (name[0] == '.' || ends_with(name, kTempSuffix)) {
                continue;
            }
            std::string path = join_path(incoming, name);
            PathInfo info = path_info(path);
            if (info.exists && !info.is_directory) {
                dropped.push_back({path, info.modified_ns, name});
            }
        }
    }
    std::string inbox = folder_path(StoreFolder::Inbox);
    if (list_folder(inbox, names) == IoError::None) {
        for (const std::string &name : names) {
            StoreEntry ignored;
            if (name[0] != '.' && ends_with(name, kMessageSuffix) && !parse_file_name(name, ignored)) {
                std::string path = join_path(inbox, name);
                PathInfo info = path_info(path);
                if (info.exists && !info.is_directory) {
                    dropped.push_back({path, info.modified_ns, name});
                }
            }
        }
    }
    if (dropped.empty()) {
        return SUCCESS_SUCCESS;
    }
    std::sort(dropped.begin(), dropped.end(), [](const Dropped &a, const Dropped &b) {
        return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
    });
    FileLock exclusive;
    if (!lock(exclusive, true)) {
        return MAPI_E_FAILURE;
    }
    for (const Dropped &file : dropped) {
        if (!path_info(file.path).exists) {
            continue; // another process took it in first
        }
        std::uint64_t sequence = 0;
        MapiULong result = next_sequence(sequence);
        if (result != SUCCESS_SUCCESS) {
            return result;
        }
        rename_path(file.path, inbox_file(new_id(sequence), true), false);
    }
    sync_folder(inbox);
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::rebuild_index()
{
    FileLock shared;
    if (!lock(shared, false)) {
        return MAPI_E_FAILURE;
    }
    Index index;
    index.inbox_stamp = path_info(folder_path(StoreFolder::Inbox)).modified_ns;
    index.incoming_stamp = path_info(join_path(root_, kIncomingFolder)).modified_ns;
    MapiULong result = list(StoreFolder::Inbox, index.entries);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    for (std::size_t i = 0; i < index.entries.size(); ++i) {
        index.positions[index.entries[i].id] = i;
        index.present.insert(index.present.end(), i);
        if (index.entries[i].unread) {
            index.unread.insert(i);
        }
    }
    index.valid = true;
    index_ = std::move(index);
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::refresh(bool force)
{
    std::int64_t inbox_stamp = path_info(folder_path(StoreFolder::Inbox)).modified_ns;
    std::int64_t incoming_stamp = path_info(join_path(root_, kIncomingFolder)).modified_ns;
    if (!force && index_.valid && inbox_stamp == index_.inbox_stamp && incoming_stamp == index_.incoming_stamp) {
        return SUCCESS_SUCCESS;
    }
    if (force || !index_.valid || incoming_stamp != index_.incoming_stamp) {
        MapiULong result = take_in_dropped_mail();
        if (result != SUCCESS_SUCCESS) {
            return result;
        }
    }
    return rebuild_index();
}

bool MailStore::index_still_current() const
{
    return index_.valid && path_info(folder_path(StoreFolder::Inbox)).modified_ns == index_.inbox_stamp;
}

void MailStore::note_own_change()
{
    if (index_.valid) {
        index_.inbox_stamp = path_info(folder_path(StoreFolder::Inbox)).modified_ns;
    }
}

bool MailStore::locate(const std::string &id, std::string &path, bool &unread) const
{
    for (bool state : {true, false}) {
        std::string candidate = inbox_file(id, state);
        if (path_info(candidate).exists) {
            path = candidate;
            unread = state;
            return true;
        }
    }
    return false;
}

MapiULong MailStore::find_next(const std::string &seed, bool unread_only, std::string &found)
{
    MapiULong result = refresh(false);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::size_t start = 0;
    if (!seed.empty()) {
        auto position = index_.positions.find(seed);
        if (position == index_.positions.end() && is_message_id(seed)) {
            // Perhaps it arrived since the index was read.
            result = refresh(true);
            if (result != SUCCESS_SUCCESS) {
                return result;
            }
            position = index_.positions.find(seed);
        }
        if (position == index_.positions.end()) {
            return MAPI_E_INVALID_MESSAGE;
        }
        start = position->second + 1;
    }
    const std::set<std::size_t> &candidates = unread_only ? index_.unread : index_.present;
    auto next = candidates.lower_bound(start);
    if (next == candidates.end()) {
        return MAPI_E_NO_MESSAGES;
    }
    found = index_.entries[*next].id;
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::lock_message(const std::string &id, FileLock &held, bool exclusive, std::string &path,
                                  bool &unread) const
{
    if (!is_message_id(id)) {
        return MAPI_E_INVALID_MESSAGE;
    }
    if (!lock(held, exclusive)) {
        return MAPI_E_FAILURE;
    }
    return locate(id, path, unread) ? SUCCESS_SUCCESS : MAPI_E_INVALID_MESSAGE;
}

MapiULong MailStore::read_message(const std::string &id, std::string &bytes, bool &unread, UnixTime &modified)
{
    FileLock shared;
    std::string path;
    MapiULong result = lock_message(id, shared, false, path, unread);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    modified = path_info(path).modified_ns / kNanosecondsPerSecond;
    IoError error = read_whole_file(path, bytes);
    if (error == IoError::NotFound) {
        return MAPI_E_INVALID_MESSAGE;
    }
    return error == IoError::None ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}

MapiULong MailStore::mark_read(const std::string &id)
{
    FileLock exclusive;
    std::string path;
    bool unread = false;
    MapiULong result = lock_message(id, exclusive, true, path, unread);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    if (!unread) {
        return SUCCESS_SUCCESS;
    }
    bool current = index_still_current();
    IoError error = rename_path(path, inbox_file(id, false), false);
    if (error != IoError::None) {
        return write_error(error);
    }
    sync_folder(folder_path(StoreFolder::Inbox));
    auto position = index_.positions.find(id);
    if (current && position != index_.positions.end()) {
        index_.entries[position->second].unread = false;
        index_.unread.erase(position->second);
        note_own_change();
    } else {
        index_.valid = false;
    }
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::delete_message(const std::string &id)
{
    FileLock exclusive;
    std::string path;
    bool unread = false;
    MapiULong result = lock_message(id, exclusive, true, path, unread);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    bool current = index_still_current();
    IoError error = remove_file(path);
    if (error != IoError::None) {
        return error == IoError::AccessDenied || error == IoError::Busy ? MAPI_E_MESSAGE_IN_USE : MAPI_E_FAILURE;
    }
    sync_folder(folder_path(StoreFolder::Inbox));
    auto position = index_.positions.find(id);
    if (current && position != index_.positions.end()) {
        index_.entries[position->second].id.clear();
        index_.present.erase(position->second);
        index_.unread.erase(position->second);
        index_.positions.erase(position);
        note_own_change();
    } else {
        index_.valid = false;
    }
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::replace_message(const std::string &id, TempFile &replacement)
{
    FileLock exclusive;
    std::string path;
    bool unread = false;
    MapiULong result = lock_message(id, exclusive, true, path, unread);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    bool current = index_still_current();
    IoError error = rename_path(replacement.path, path, true);
    if (error != IoError::None) {
        return error == IoError::AccessDenied || error == IoError::Busy ? MAPI_E_MESSAGE_IN_USE
                                                                         : write_error(error);
    }
    replacement.forget();
    sync_folder(folder_path(StoreFolder::Inbox));
    if (current) {
        note_own_change();
    } else {
        index_.valid = false;
    }
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::add_message(StoreFolder folder, TempFile &message, bool unread, std::string &id)
{
    FileLock exclusive;
    if (!lock(exclusive, true)) {
        return MAPI_E_FAILURE;
    }
    std::uint64_t sequence = 0;
    MapiULong result = next_sequence(sequence);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    bool current = folder == StoreFolder::Inbox && index_still_current();
    std::string new_message_id = new_id(sequence);
    StoreEntry entry{sequence, new_message_id, folder == StoreFolder::Inbox && unread};
    std::string target = message_path(folder, entry);
    IoError error = rename_path(message.path, target, false);
    if (error != IoError::None) {
        return write_error(error);
    }
    message.forget();
    sync_folder(folder_path(folder));
    id = new_message_id;
    if (folder != StoreFolder::Inbox) {
        return SUCCESS_SUCCESS;
    }
    if (current && (index_.entries.empty() || sequence_order(index_.entries.back(), entry))) {
        index_.entries.push_back(entry);
        index_.positions[entry.id] = index_.entries.size() - 1;
        index_.present.insert(index_.present.end(), index_.entries.size() - 1);
        if (entry.unread) {
            index_.unread.insert(index_.entries.size() - 1);
        }
        note_own_change();
    } else {
        index_.valid = false;
    }
    return SUCCESS_SUCCESS;
}

MapiULong MailStore::remove_outbox_message(const std::string &id)
{
    if (!is_message_id(id)) {
        return MAPI_E_INVALID_MESSAGE;
    }
    FileLock exclusive;
    if (!lock(exclusive, true)) {
        return MAPI_E_FAILURE;
    }
    StoreEntry entry{0, id, false};
    IoError error = remove_file(message_path(StoreFolder::Outbox, entry));
    if (error == IoError::NotFound) {
        return MAPI_E_INVALID_MESSAGE;
    }
    return error == IoError::None ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}

} // namespace provider

// Files, folders and the store lock: the provider's only contact with the
// file system. files_posix.cpp and files_win32.cpp implement it; paths are
// the host's 8-bit texts, passed to the system unchanged.
#ifndef ZORVA_PROVIDER_PLATFORM_FILES_H
#define ZORVA_PROVIDER_PLATFORM_FILES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace provider {

enum class IoError { None, NotFound, Exists, AccessDenied, DiskFull, Busy, Other };

// The separator the system prefers in paths handed to the host.
extern const char kPathSeparator;

bool is_path_separator(char c);
bool is_absolute_path(const std::string &path);
std::string join_path(const std::string &folder, const std::string &name);
// The folder part of a path (without the last separator); "" when none.
std::string parent_folder(const std::string &path);
// The last component of a path.
std::string base_name(const std::string &path);

struct PathInfo {
    bool exists = false;
    bool is_directory = false;
    std::uint64_t size = 0;
    std::int64_t modified_ns = 0; // since the epoch; changes with every write
};
PathInfo path_info(const std::string &path);

// Creates one folder; succeeds when it already exists.
IoError make_folder(const std::string &path);
// The names in a folder, without "." and "..".
IoError list_folder(const std::string &path, std::vector<std::string> &names);
IoError remove_file(const std::string &path);
IoError remove_empty_folder(const std::string &path);
// Renames atomically; replace says whether an existing target is replaced.
IoError rename_path(const std::string &from, const std::string &to, bool replace);
// Makes the entries of a folder durable (after a rename into it).
void sync_folder(const std::string &path);

// An open file: read or written sequentially, closed by the destructor.
class File {
  public:
    File() = default;
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    File(File &&other) noexcept;
    File &operator=(File &&other) noexcept;
    ~File();

    static File open_read(const std::string &path, IoError &error);
    // Creates a new file; fails with Exists when the name is taken.
    static File create_new(const std::string &path, IoError &error);

    bool is_open() const { return handle_ != kClosed; }
    // Reads up to size bytes; got is 0 at the end. False on an error.
    bool read(char *buffer, std::size_t size, std::size_t &got);
    bool write(const char *data, std::size_t size);
    bool write(const std::string &data) { return write(data.data(), data.size()); }
    // Forces the written bytes to the disk.
    bool sync();
    bool close();
    IoError error() const { return error_; }

  private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
    IoError error_ = IoError::None;
};

// Reads a whole file.
IoError read_whole_file(const std::string &path, std::string &bytes);

// An advisory lock on a lock file, shared or exclusive, between processes
// and between threads. Released by release() or the destructor, and by the
// system when the process ends, however it ends.
class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    ~FileLock();
    // Waits up to timeout_ms for the lock; false when it cannot be had.
    bool acquire(const std::string &path, bool exclusive, int timeout_ms);
    void release();
    bool held() const { return handle_ != kClosed; }

  private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
};

} // namespace provider

#endif

#include "files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace provider {

const char kPathSeparator = '/';

namespace {

IoError from_errno(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return IoError::NotFound;
    case EEXIST:
    case ENOTEMPTY:
        return IoError::Exists;
    case EACCES:
    case EPERM:
    case EROFS:
        return IoError::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return IoError::DiskFull;
    case EWOULDBLOCK:
        return IoError::Busy;
    default:
        return IoError::Other;
    }
}

void sleep_ms(int ms)
{
    timespec delay{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&delay, nullptr);
}

} // namespace

bool is_path_separator(char c) { return c == '/'; }

bool is_absolute_path(const std::string &path) { return !path.empty() && path[0] == '/'; }

PathInfo path_info(const std::string &path)
{
    PathInfo info;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return info;
    }
    info.exists = true;
    info.is_directory = S_ISDIR(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return info;
}

IoError make_folder(const std::string &path)
{
    if (::mkdir(path.c_str(), 0777) == 0) {
        return IoError::None;
    }
    int code = errno;
    if (code == EEXIST && path_info(path).is_directory) {
        return IoError::None;
    }
    return from_errno(code);
}

IoError list_folder(const std::string &path, std::vector<std::string> &names)
{
    names.clear();
    DIR *folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        return from_errno(errno);
    }
    while (dirent *entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(folder);
    return IoError::None;
}

IoError remove_file(const std::string &path)
{
    return ::unlink(path.c_str()) == 0 ? IoError::None : from_errno(errno);
}

IoError remove_empty_folder(const std::string &path)
{
    return ::rmdir(path.c_str()) == 0 ? IoError::None : from_errno(errno);
}

IoError rename_path(const std::string &from, const std::string &to, bool replace)
{
    if (!replace) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return IoError::None;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return from_errno(errno);
        }
        // A file system without it: every rename runs under the store's
        // exclusive lock, so looking first is enough.
        if (path_info(to).exists) {
            return IoError::Exists;
        }
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? IoError::None : from_errno(errno);
}

void sync_folder(const std::string &path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

File File::open_read(const std::string &path, IoError &error)
{
    File file;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = from_errno(errno);
        return file;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = IoError::AccessDenied;
        return file;
    }
    file.handle_ = fd;
    error = IoError::None;
    return file;
}

File File::create_new(const std::string &path, IoError &error)
{
    File file;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = from_errno(errno);
        return file;
    }
    file.handle_ = fd;
    error = IoError::None;
    return file;
}

bool File::read(char *buffer, std::size_t size, std::size_t &got)
{
    got = 0;
    for (;;) {
        ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return true;
        }
        if (errno != EINTR) {
            error_ = from_errno(errno);
            return false;
        }
    }
}

bool File::write(const char *data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(static_cast<int>(handle_), data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = from_errno(errno);
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool File::sync()
{
    if (::fsync(static_cast<int>(handle_)) != 0) {
        error_ = from_errno(errno);
        return false;
    }
    return true;
}

bool File::close()
{
    if (handle_ == kClosed) {
        return true;
    }
    int result = ::close(static_cast<int>(handle_));
    handle_ = kClosed;
    if (result != 0) {
        error_ = from_errno(errno);
        return false;
    }
    return true;
}

bool FileLock::acquire(const std::string &path, bool exclusive, int timeout_ms)
{
    release();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    int waited = 0;
    int pause = 1;
    const int operation = (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    while (::flock(fd, operation) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= timeout_ms) {
            ::close(fd);
            return false;
        }
        sleep_ms(pause);
        waited += pause;
        pause = pause < 32 ? pause * 2 : pause;
    }
    handle_ = fd;
    return true;
}

void FileLock::release()
{
    if (handle_ != kClosed) {
        ::close(static_cast<int>(handle_)); // closing drops the flock
        handle_ = kClosed;
    }
}

} // namespace provider

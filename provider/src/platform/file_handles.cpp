// What File and FileLock do alike on every system: moving a handle and
// closing it at the end. Opening, reading, writing and locking are in
// files_posix.cpp and files_win32.cpp.
#include "files.h"

namespace provider {

File::File(File &&other) noexcept : handle_(other.handle_), error_(other.error_)
{
    other.handle_ = kClosed;
}

File &File::operator=(File &&other) noexcept
{
    if (this != &other) {
        close();
        handle_ = other.handle_;
        error_ = other.error_;
        other.handle_ = kClosed;
    }
    return *this;
}

File::~File() { close(); }

FileLock::~FileLock() { release(); }

} // namespace provider

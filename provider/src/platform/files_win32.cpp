#include "files.h"

#include <windows.h>

namespace provider {

const char kPathSeparator = '\\';

namespace {

IoError from_last_error(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return IoError::NotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
        return IoError::Exists;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return IoError::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return IoError::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return IoError::Busy;
    default:
        return IoError::Other;
    }
}

IoError last_error() { return from_last_error(GetLastError()); }

HANDLE as_handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::int64_t unix_ns(const FILETIME &time)
{
    // FILETIME counts 100 ns steps from 1601.
    const std::int64_t kEpochSteps = 116444736000000000LL;
    std::int64_t steps = (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (steps - kEpochSteps) * 100;
}

} // namespace

bool is_path_separator(char c) { return c == '\\' || c == '/'; }

bool is_absolute_path(const std::string &path)
{
    if (path.size() >= 3 && path[1] == ':' && is_path_separator(path[2])) {
        return true;
    }
    return !path.empty() && is_path_separator(path[0]);
}

PathInfo path_info(const std::string &path)
{
    PathInfo info;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return info;
    }
    info.exists = true;
    info.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.modified_ns = unix_ns(data.ftLastWriteTime);
    return info;
}

IoError make_folder(const std::string &path)
{
    if (CreateDirectoryA(path.c_str(), nullptr)) {
        return IoError::None;
    }
    DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS && path_info(path).is_directory) {
        return IoError::None;
    }
    return from_last_error(code);
}

IoError list_folder(const std::string &path, std::vector<std::string> &names)
{
    names.clear();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(join_path(path, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        return code == ERROR_FILE_NOT_FOUND ? IoError::None : from_last_error(code);
    }
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return IoError::None;
}

IoError remove_file(const std::string &path)
{
    return DeleteFileA(path.c_str()) ? IoError::None : last_error();
}

IoError remove_empty_folder(const std::string &path)
{
    return RemoveDirectoryA(path.c_str()) ? IoError::None : last_error();
}

IoError rename_path(const std::string &from, const std::string &to, bool replace)
{
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExA(from.c_str(), to.c_str(), flags) ? IoError::None : last_error();
}

void sync_folder(const std::string &) {} // MOVEFILE_WRITE_THROUGH already did it

File File::open_read(const std::string &path, IoError &error)
{
    File file;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = last_error();
        return file;
    }
    file.handle_ = reinterpret_cast<std::intptr_t>(handle);
    error = IoError::None;
    return file;
}

File File::create_new(const std::string &path, IoError &error)
{
    File file;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = last_error();
        return file;
    }
    file.handle_ = reinterpret_cast<std::intptr_t>(handle);
    error = IoError::None;
    return file;
}

bool File::read(char *buffer, std::size_t size, std::size_t &got)
{
    got = 0;
    const std::size_t kMaxChunk = 1u << 30;
    DWORD done = 0;
    if (!ReadFile(as_handle(handle_), buffer, static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk),
                  &done, nullptr)) {
        error_ = last_error();
        return false;
    }
    got = done;
    return true;
}

bool File::write(const char *data, std::size_t size)
{
    const std::size_t kMaxChunk = 1u << 30;
    while (size > 0) {
        DWORD done = 0;
        DWORD chunk = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
        if (!WriteFile(as_handle(handle_), data, chunk, &done, nullptr)) {
            error_ = last_error();
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}

bool File::sync()
{
    if (!FlushFileBuffers(as_handle(handle_))) {
        error_ = last_error();
        return false;
    }
    return true;
}

bool File::close()
{
    if (handle_ == kClosed) {
        return true;
    }
    BOOL closed = CloseHandle(as_handle(handle_));
    handle_ = kClosed;
    if (!closed) {
        error_ = last_error();
        return false;
    }
    return true;
}

bool FileLock::acquire(const std::string &path, bool exclusive, int timeout_ms)
{
    release();
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    int waited = 0;
    int pause = 1;
    for (;;) {
        OVERLAPPED whole{};
        if (LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &whole)) {
            break;
        }
        if (waited >= timeout_ms) {
            CloseHandle(handle);
            return false;
        }
        Sleep(static_cast<DWORD>(pause));
        waited += pause;
        pause = pause < 32 ? pause * 2 : pause;
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

void FileLock::release()
{
    if (handle_ != kClosed) {
        CloseHandle(as_handle(handle_)); // closing the handle drops its lock
        handle_ = kClosed;
    }
}

} // namespace provider

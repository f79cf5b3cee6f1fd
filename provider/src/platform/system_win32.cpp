#include "system.h"

#include <windows.h>

#include "files.h"

namespace provider {

std::string provider_folder()
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&provider_folder), &self)) {
        return "";
    }
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    return parent_folder(std::string(path, length));
}

bool environment_value(const char *name, std::string &value)
{
    DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) {
        return false;
    }
    std::string text(needed, '\0');
    DWORD length = GetEnvironmentVariableA(name, &text[0], needed);
    if (length >= needed) {
        return false;
    }
    text.resize(length);
    value = text;
    return true;
}

std::string temporary_folder()
{
    char path[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof path, path);
    if (length == 0 || length > MAX_PATH) {
        return ".";
    }
    std::string folder(path, length);
    while (folder.size() > 3 && is_path_separator(folder.back())) {
        folder.pop_back();
    }
    return folder;
}

std::uint32_t process_id() { return GetCurrentProcessId(); }

void sleep_milliseconds(int ms) { Sleep(static_cast<DWORD>(ms)); }

int local_utc_offset_minutes(std::time_t moment)
{
    // FILETIME of the moment, then the time zone's own rule for that date.
    const std::int64_t kEpochSteps = 116444736000000000LL;
    std::int64_t steps = static_cast<std::int64_t>(moment) * 10000000LL + kEpochSteps;
    FILETIME utc_file{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&utc_file, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return 0;
    }
    FILETIME local_file;
    if (!SystemTimeToFileTime(&local, &local_file)) {
        return 0;
    }
    std::int64_t local_steps =
        (static_cast<std::int64_t>(local_file.dwHighDateTime) << 32) | local_file.dwLowDateTime;
    return static_cast<int>((local_steps - steps) / (10000000LL * 60));
}

void *heap_block_allocate(std::size_t size)
{
    void **block = static_cast<void **>(HeapAlloc(GetProcessHeap(), 0, sizeof(void *) + size));
    if (block == nullptr) {
        return nullptr;
    }
    block[0] = nullptr;
    return block + 1;
}

void heap_block_free(void *payload)
{
    HeapFree(GetProcessHeap(), 0, static_cast<void **>(payload) - 1);
}

} // namespace provider

// What the provider needs from the system besides files: its own place,
// the environment, the clock's time zone, and the memory blocks it hands to
// the caller. system_posix.cpp and system_win32.cpp implement it.
#ifndef ZORVA_PROVIDER_PLATFORM_SYSTEM_H
#define ZORVA_PROVIDER_PLATFORM_SYSTEM_H

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace provider {

// The folder of the provider's own library file; "" when unknown.
std::string provider_folder();
// An environment variable of the process; false when it is not set.
bool environment_value(const char *name, std::string &value);
// The system's folder for temporary files.
std::string temporary_folder();
std::uint32_t process_id();
void sleep_milliseconds(int ms);

// The local time zone's offset from UTC, in minutes, at a moment.
int local_utc_offset_minutes(std::time_t moment);

// Memory handed to the caller: a block from the process heap with one
// pointer-sized link word in front of what the caller sees, the layout
// that the system's MAPIFreeBuffer also frees. Null when memory runs out.
void *heap_block_allocate(std::size_t size);
void heap_block_free(void *payload);

} // namespace provider

#endif

#include "system.h"

#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

#include "files.h"

namespace provider {

std::string provider_folder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&provider_folder), &info) == 0 || info.dli_fname == nullptr) {
        return "";
    }
    return parent_folder(info.dli_fname);
}

bool environment_value(const char *name, std::string &value)
{
    const char *text = std::getenv(name);
    if (text == nullptr) {
        return false;
    }
    value = text;
    return true;
}

std::string temporary_folder()
{
    const char *text = std::getenv("TMPDIR");
    return text != nullptr && *text != '\0' ? std::string(text) : std::string("/tmp");
}

std::uint32_t process_id() { return static_cast<std::uint32_t>(::getpid()); }

void sleep_milliseconds(int ms)
{
    timespec delay{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&delay, nullptr);
}

int local_utc_offset_minutes(std::time_t moment)
{
    struct tm local {};
    if (localtime_r(&moment, &local) == nullptr) {
        return 0;
    }
    return static_cast<int>(local.tm_gmtoff / 60);
}

void *heap_block_allocate(std::size_t size)
{
    void **block = static_cast<void **>(std::malloc(sizeof(void *) + size));
    if (block == nullptr) {
        return nullptr;
    }
    block[0] = nullptr;
    return block + 1;
}

void heap_block_free(void *payload)
{
    std::free(static_cast<void **>(payload) - 1);
}

} // namespace provider

// A writable, zero-terminated text in the host's memory, as the exports
// take it, with guard bytes after the size the host promised the library:
// a library that writes past that size is caught instead of trusted.
#ifndef ZORVA_CLI_HOST_BUFFER_H
#define ZORVA_CLI_HOST_BUFFER_H

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace zorva_cli {

class HostBuffer {
  public:
    // Holds `text` in at least `size` bytes (more if the text needs them).
    explicit HostBuffer(const std::string &text, std::size_t size = 0)
        : size_(size > text.size() ? size : text.size() + 1), bytes_(size_ + kGuardBytes, '\0')
    {
        std::memcpy(bytes_.data(), text.data(), text.size());
        std::memset(bytes_.data() + size_, kGuardByte, kGuardBytes);
    }

    char *get() { return bytes_.data(); }
    std::size_t size() const { return size_; }

    // The text, up to the first zero byte within the promised size.
    std::string text() const
    {
        const void *end = std::memchr(bytes_.data(), '\0', size_);
        std::size_t length = end ? static_cast<const char *>(end) - bytes_.data() : size_;
        return std::string(bytes_.data(), length);
    }

    // False when the library left no zero byte within the size, or wrote past it.
    bool intact() const
    {
        if (std::memchr(bytes_.data(), '\0', size_) == nullptr) {
            return false;
        }
        for (std::size_t i = size_; i < bytes_.size(); ++i) {
            if (bytes_[i] != kGuardByte) {
                return false;
            }
        }
        return true;
    }

  private:
    static constexpr std::size_t kGuardBytes = 64;
    static constexpr char kGuardByte = 0x5A;
    std::size_t size_;
    std::vector<char> bytes_;
};

} // namespace zorva_cli

#endif

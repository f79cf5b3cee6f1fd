// A host buffer of the size the host contract names, followed by canary
// bytes that the library must never touch.
#ifndef ZORVA_TESTS_GUARDED_BUFFER_H
#define ZORVA_TESTS_GUARDED_BUFFER_H

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

class GuardedBuffer {
  public:
    static constexpr unsigned char kCanary = 0xA5;
    static constexpr size_t kCanaryBytes = 64;
    // What fills the bytes after the initial text, so stray writes show.
    static constexpr char kFill = '#';

    GuardedBuffer(size_t size, const std::string &text)
        : size_(size), bytes_(size + kCanaryBytes, static_cast<char>(kCanary))
    {
        set(text);
    }

    // Puts text and its terminator at the start, as the host does before a call.
    void set(const std::string &text)
    {
        std::fill(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(size_), kFill);
        std::memcpy(bytes_.data(), text.c_str(), std::min(text.size() + 1, size_));
    }

    char *get() { return bytes_.data(); }
    size_t size() const { return size_; }

    // The text up to its terminator, or all size() bytes when there is none.
    std::string text() const
    {
        const char *end = static_cast<const char *>(std::memchr(bytes_.data(), '\0', size_));
        return std::string(bytes_.data(), end ? static_cast<size_t>(end - bytes_.data()) : size_);
    }

    bool terminated() const { return std::memchr(bytes_.data(), '\0', size_) != nullptr; }

    bool canary_intact() const
    {
        return std::all_of(bytes_.begin() + static_cast<std::ptrdiff_t>(size_), bytes_.end(),
                           [](char c) { return static_cast<unsigned char>(c) == kCanary; });
    }

  private:
    size_t size_;
    std::vector<char> bytes_;
};

#endif

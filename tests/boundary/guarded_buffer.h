// A host buffer with guard bytes after it, to show that the library wrote
// exactly what it should and nothing past it.
#ifndef ZORVA_TESTS_GUARDED_BUFFER_H
#define ZORVA_TESTS_GUARDED_BUFFER_H

#include <cstring>
#include <string>
#include <vector>

class GuardedBuffer {
  public:
    static constexpr unsigned char kGuard = 0xA5;
    static constexpr size_t kGuardBytes = 32;

    // `text` and its terminator, then `spare` bytes of `fill`, then the guard.
    explicit GuardedBuffer(const std::string &text, size_t spare = 0, char fill = '#')
        : used_(text.size() + 1 + spare)
    {
        bytes_.assign(text.begin(), text.end());
        bytes_.push_back('\0');
        bytes_.insert(bytes_.end(), spare, fill);
        bytes_.insert(bytes_.end(), kGuardBytes, static_cast<char>(kGuard));
    }

    char *get() { return bytes_.data(); }
    std::string str() const { return std::string(bytes_.data()); }
    // Every byte of the buffer, terminators and spare bytes included.
    std::string raw() const { return std::string(bytes_.data(), used_); }

    bool guard_intact() const
    {
        for (size_t i = used_; i < bytes_.size(); ++i) {
            if (static_cast<unsigned char>(bytes_[i]) != kGuard) {
                return false;
            }
        }
        return true;
    }

  private:
    size_t used_;
    std::vector<char> bytes_;
};

#endif

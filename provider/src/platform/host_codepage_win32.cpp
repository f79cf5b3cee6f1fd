#include "host_codepage.h"

#include <windows.h>

#include "../charsets.h"

namespace provider {

std::string unicode_to_host(const std::u32string &text)
{
    // An 8-bit code page holds no character beyond the first plane; each
    // becomes one '?' here, where the conversion would give one per surrogate.
    std::u32string plane0 = text;
    for (char32_t &c : plane0) {
        if (c > 0xFFFF) {
            c = U'?';
        }
    }
    std::u16string units = utf16_from_unicode(plane0);
    std::wstring wide(units.begin(), units.end());
    if (wide.empty()) {
        return "";
    }
    char unmappable = '?';
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                   &unmappable, nullptr);
    if (size <= 0) {
        return encode_windows_1252(text);
    }
    std::string host(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &host[0], size,
                        &unmappable, nullptr);
    return host;
}

std::u32string host_to_unicode(const std::string &text)
{
    if (text.empty()) {
        return U"";
    }
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) {
        return decode_windows_1252(text);
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return unicode_from_utf16(std::u16string(wide.begin(), wide.end()));
}

} // namespace provider

#include "host_codepage.h"

#include "../charsets.h"

namespace provider {

std::string unicode_to_host(const std::u32string &text) { return encode_windows_1252(text); }

std::u32string host_to_unicode(const std::string &text) { return decode_windows_1252(text); }

} // namespace provider

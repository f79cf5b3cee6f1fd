// The host's 8-bit code page: the ANSI code page on Windows, Windows-1252
// elsewhere (the same one Wine's ANSI code page is in an English setting).
// Every text the provider hands to the host, or takes from it, is in it.
#ifndef ZORVA_PROVIDER_PLATFORM_HOST_CODEPAGE_H
#define ZORVA_PROVIDER_PLATFORM_HOST_CODEPAGE_H

#include <string>

namespace provider {

// Characters the code page lacks become '?'.
std::string unicode_to_host(const std::u32string &text);
std::u32string host_to_unicode(const std::string &text);

} // namespace provider

#endif

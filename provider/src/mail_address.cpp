#include "mail_address.h"

#include <cstring>

#include "mime_headers.h"

namespace provider {

namespace {

const char *const kAddressType = "SMTP:";
const char *const kEntryIdPrefix = "ZORVA-EID:SMTP:";
// RFC 5321: a path is at most 256 characters, so an address at most 254.
const std::size_t kLongestAddress = 254;
const char kForbidden[] = "<>()[],;:\\\"";

} // namespace

std::string strip_address_type(const std::string &address)
{
    std::string trimmed = trim_blanks(address);
    std::size_t type_length = std::strlen(kAddressType);
    if (trimmed.size() >= type_length && equals_ignoring_case(trimmed.substr(0, type_length), kAddressType)) {
        return trim_blanks(trimmed.substr(type_length));
    }
    return trimmed;
}

bool is_valid_address(const std::string &address)
{
    if (address.empty() || address.size() > kLongestAddress) {
        return false;
    }
    std::size_t at = address.find('@');
    if (at == std::string::npos || at == 0 || at + 1 == address.size() ||
        address.find('@', at + 1) != std::string::npos) {
        return false;
    }
    for (unsigned char c : address) {
        if (c <= 32 || c >= 127 || std::strchr(kForbidden, c) != nullptr) {
            return false;
        }
    }
    std::string domain = address.substr(at + 1);
    return domain.front() != '.' && domain.back() != '.' && domain.find("..") == std::string::npos;
}

bool same_address(const std::string &a, const std::string &b) { return equals_ignoring_case(a, b); }

std::string address_domain(const std::string &address)
{
    std::size_t at = address.rfind('@');
    return at == std::string::npos ? std::string() : address.substr(at + 1);
}

std::string entry_id_for(const std::string &address) { return kEntryIdPrefix + address; }

bool address_from_entry_id(const void *entry_id, unsigned long size, std::string &address)
{
    std::size_t prefix = std::strlen(kEntryIdPrefix);
    const unsigned long kLongestEntryId = 1024;
    if (entry_id == nullptr || size <= prefix || size > kLongestEntryId) {
        return false;
    }
    std::string bytes(static_cast<const char *>(entry_id), size);
    if (bytes.compare(0, prefix, kEntryIdPrefix) != 0) {
        return false;
    }
    address = bytes.substr(prefix);
    return is_valid_address(address);
}

} // namespace provider

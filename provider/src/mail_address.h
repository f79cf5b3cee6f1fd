// Mail addresses as hosts give them: with or without an "SMTP:" type, and
// the check that one is a plain local@domain address the store can use.
#ifndef ZORVA_PROVIDER_MAIL_ADDRESS_H
#define ZORVA_PROVIDER_MAIL_ADDRESS_H

#include <string>

namespace provider {

// "SMTP:ann@example.com" as "ann@example.com"; other texts trimmed only.
std::string strip_address_type(const std::string &address);
// A local@domain address of printable ASCII, without blanks or the
// characters that delimit addresses in a header.
bool is_valid_address(const std::string &address);
bool same_address(const std::string &a, const std::string &b);
// The part after the "@"; "" when there is none.
std::string address_domain(const std::string &address);

// Entry identifiers the provider hands out for recipients it resolved.
std::string entry_id_for(const std::string &address);
// The address inside one of our entry identifiers; false for others.
bool address_from_entry_id(const void *entry_id, unsigned long size, std::string &address);

} // namespace provider

#endif

// Dates of mail: the RFC 5322 form of Date and Received fields, and the
// "YYYY/MM/DD HH:MM" form of Simple MAPI's received date.
#ifndef ZORVA_PROVIDER_MAIL_DATES_H
#define ZORVA_PROVIDER_MAIL_DATES_H

#include <cstdint>
#include <string>

namespace provider {

// Seconds since 1970-01-01 00:00 UTC.
using UnixTime = std::int64_t;

// Parses an RFC 5322 date-time leniently (day name optional, two-digit
// years, obsolete zone names); false when no date can be found.
bool parse_mail_date(const std::string &text, UnixTime &time);

// "Thu, 11 Dec 2026 13:02:36 +0100" for a moment and a zone offset.
std::string format_mail_date(UnixTime time, int utc_offset_minutes);

// "2026/12/11 13:02" for a moment and a zone offset.
std::string format_mapi_date(UnixTime time, int utc_offset_minutes);

} // namespace provider

#endif

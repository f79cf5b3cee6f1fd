#include "mail_dates.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace provider {

namespace {

const char *const kMonths[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                 "jul", "aug", "sep", "oct", "nov", "dec"};
const char *const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const kDayNames[7] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"}; // from 1970-01-01
const std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a civil date (proleptic Gregorian calendar).
std::int64_t days_from_civil(std::int64_t year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t year_of_era = year - era * 400;
    const int shifted_month = month > 2 ? month - 3 : month + 9;
    const std::int64_t day_of_year = (153 * shifted_month + 2) / 5 + day - 1;
    const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void civil_from_days(std::int64_t days, std::int64_t &year, int &month, int &day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t day_of_era = days - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
    day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
    month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    year = year_of_era + era * 400 + (month <= 2);
}

struct Civil {
    std::int64_t year;
    int month, day, hour, minute, second, weekday;
};

Civil civil_at(UnixTime time, int offset_minutes)
{
    std::int64_t local = time + static_cast<std::int64_t>(offset_minutes) * 60;
    std::int64_t days = local >= 0 ? local / kSecondsPerDay : (local - kSecondsPerDay + 1) / kSecondsPerDay;
    std::int64_t seconds = local - days * kSecondsPerDay;
    Civil civil{};
    civil_from_days(days, civil.year, civil.month, civil.day);
    civil.hour = static_cast<int>(seconds / 3600);
    civil.minute = static_cast<int>(seconds / 60 % 60);
    civil.second = static_cast<int>(seconds % 60);
    civil.weekday = static_cast<int>(((days % 7) + 7) % 7);
    return civil;
}

bool zone_offset(const std::string &word, int &minutes)
{
    struct Named {
        const char *name;
        int hours;
    };
    static const Named kZones[] = {{"ut", 0},   {"utc", 0},  {"gmt", 0},  {"z", 0},
                                   {"est", -5}, {"edt", -4}, {"cst", -6}, {"cdt", -5},
                                   {"mst", -7}, {"mdt", -6}, {"pst", -8}, {"pdt", -7}};
    if ((word[0] == '+' || word[0] == '-') && word.size() == 5) {
        for (std::size_t i = 1; i < 5; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(word[i]))) {
                return false;
            }
        }
        int hours = (word[1] - '0') * 10 + (word[2] - '0');
        int mins = (word[3] - '0') * 10 + (word[4] - '0');
        if (hours > 23 || mins > 59) {
            return false;
        }
        minutes = (hours * 60 + mins) * (word[0] == '-' ? -1 : 1);
        return true;
    }
    std::string lower;
    for (char c : word) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const Named &zone : kZones) {
        if (lower == zone.name) {
            minutes = zone.hours * 60;
            return true;
        }
    }
    return false;
}

bool all_digits(const std::string &word)
{
    if (word.empty()) {
        return false;
    }
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool parse_mail_date(const std::string &text, UnixTime &time)
{
    // Words split at blanks, commas and comments.
    std::vector<std::string> words;
    std::string word;
    int comment_depth = 0;
    for (char c : text) {
        if (c == '(') {
            ++comment_depth;
        } else if (c == ')' && comment_depth > 0) {
            --comment_depth;
        } else if (comment_depth > 0) {
            continue;
        } else if (c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n') {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }

    int month = 0;
    std::size_t month_at = 0;
    for (std::size_t i = 0; i < words.size() && month == 0; ++i) {
        if (words[i].size() < 3) {
            continue;
        }
        for (int m = 0; m < 12; ++m) {
            bool same = true;
            for (int k = 0; k < 3; ++k) {
                same = same && std::tolower(static_cast<unsigned char>(words[i][k])) == kMonths[m][k];
            }
            if (same) {
                month = m + 1;
                month_at = i;
                break;
            }
        }
    }
    if (month == 0 || month_at == 0 || month_at + 1 >= words.size()) {
        return false;
    }
    const std::string &day_word = words[month_at - 1];
    const std::string &year_word = words[month_at + 1];
    if (!all_digits(day_word) || day_word.size() > 2 || !all_digits(year_word) || year_word.size() > 4) {
        return false;
    }
    int day = std::stoi(day_word);
    std::int64_t year = std::stoll(year_word);
    if (year_word.size() <= 2) {
        year += year < 50 ? 2000 : 1900;
    } else if (year_word.size() == 3) {
        year += 1900;
    }
    if (day < 1 || day > 31) {
        return false;
    }

    int hour = 0, minute = 0, second = 0;
    std::size_t next = month_at + 2;
    if (next < words.size()) {
        int parsed_second = 0;
        char extra = 0;
        if (std::sscanf(words[next].c_str(), "%2d:%2d:%2d%c", &hour, &minute, &parsed_second, &extra) >= 2) {
            second = parsed_second;
            ++next;
        } else {
            hour = minute = 0;
        }
    }
    if (hour > 23 || minute > 59 || second > 60) {
        return false;
    }
    int offset = 0;
    if (next < words.size()) {
        zone_offset(words[next], offset); // an unknown zone counts as UTC
    }
    time = days_from_civil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second -
           static_cast<std::int64_t>(offset) * 60;
    return true;
}

std::string format_mail_date(UnixTime time, int utc_offset_minutes)
{
    Civil civil = civil_at(time, utc_offset_minutes);
    int offset = utc_offset_minutes < 0 ? -utc_offset_minutes : utc_offset_minutes;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %d %s %04d %02d:%02d:%02d %c%02d%02d", kDayNames[civil.weekday],
                  civil.day, kMonthNames[civil.month - 1], static_cast<int>(civil.year), civil.hour,
                  civil.minute, civil.second, utc_offset_minutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

std::string format_mapi_date(UnixTime time, int utc_offset_minutes)
{
    Civil civil = civil_at(time, utc_offset_minutes);
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", static_cast<int>(civil.year),
                  civil.month, civil.day, civil.hour, civil.minute);
    return text;
}

} // namespace provider

// Dates of mail: RFC 5322 both ways, and the received date's own form.
#include <gtest/gtest.h>

#include "mail_dates.h"

namespace provider {
namespace {

struct DateCase {
    const char *text;
    bool parses;
    UnixTime time;
};

class MailDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(MailDate, Parses)
{
    UnixTime time = -1;
    EXPECT_EQ(parse_mail_date(GetParam().text, time), GetParam().parses) << GetParam().text;
    if (GetParam().parses) {
        EXPECT_EQ(time, GetParam().time) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MailDate,
    ::testing::Values(DateCase{"Thu, 01 Jan 1970 00:00:00 +0000", true, 0},
                      DateCase{"Sat, 14 Mar 2026 23:30:59 +0200", true, 1773523859},
                      DateCase{"14 Mar 2026 23:30:59 +0200", true, 1773523859},
                      DateCase{"Sat, 14 Mar 2026 21:30:59 GMT", true, 1773523859},
                      DateCase{"Sat, 14 Mar 2026 16:30:59 EST", true, 1773523859},
                      DateCase{"Sat, 14 Mar 26 21:30:59 +0000", true, 1773523859},
                      DateCase{"Sat,14 MAR 2026 21:30:59 +0000 (UTC)", true, 1773523859},
                      DateCase{"Sat, 14 Mar 2026 21:30 +0000", true, 1773523800},
                      DateCase{"Thu, 29 Feb 2024 12:00:00 -0130", true, 1709213400},
                      DateCase{"14 Mar 2026", true, 1773446400},
                      DateCase{"", false, 0}, DateCase{"not a date", false, 0},
                      DateCase{"Sat, 99 Mar 2026 21:30:59 +0000", false, 0},
                      DateCase{"Sat, 14 Mar 2026 25:30:59 +0000", false, 0},
                      DateCase{"Mar", false, 0}));

TEST(MailDateFormat, WritesBothForms)
{
    EXPECT_EQ(format_mail_date(1773523859, 120), "Sat, 14 Mar 2026 23:30:59 +0200");
    EXPECT_EQ(format_mail_date(1773523859, -330), "Sat, 14 Mar 2026 16:00:59 -0530");
    EXPECT_EQ(format_mapi_date(1773523859, 0), "2026/03/14 21:30");
    EXPECT_EQ(format_mapi_date(1773523859, 180), "2026/03/15 00:30");
    EXPECT_EQ(format_mapi_date(0, 0), "1970/01/01 00:00");
    EXPECT_EQ(format_mapi_date(-1, 0), "1969/12/31 23:59");
}

TEST(MailDateFormat, ParsesWhatItWrites)
{
    for (UnixTime time : {UnixTime{0}, UnixTime{951782400}, UnixTime{1773523859}, UnixTime{4102444799}}) {
        for (int offset : {0, 60, -480, 345}) {
            UnixTime parsed = -1;
            ASSERT_TRUE(parse_mail_date(format_mail_date(time, offset), parsed));
            EXPECT_EQ(parsed, time) << format_mail_date(time, offset);
        }
    }
}

} // namespace
} // namespace provider

// Header fields: the block, parameters with RFC 2231, and address lists.
#include <gtest/gtest.h>

#include "mime_headers.h"

namespace provider {
namespace {

TEST(HeaderBlock, UnfoldsAndFindsTheBody)
{
    std::string text = "From: a@b.c\r\nSubject: one\r\n two\r\n\tthree\r\nX-Empty:\r\n\r\nbody";
    HeaderBlock block;
    std::size_t body = parse_header_block(text, 0, text.size(), block);
    EXPECT_EQ(text.substr(body), "body");
    ASSERT_EQ(block.fields.size(), 3u);
    EXPECT_EQ(block.value("subject"), "one two three");
    EXPECT_EQ(block.value("X-EMPTY"), "");
    EXPECT_EQ(block.find("Nope"), nullptr);
    const HeaderField *subject = block.find("Subject");
    EXPECT_EQ(text.substr(subject->raw_start, subject->raw_end - subject->raw_start),
              "Subject: one\r\n two\r\n\tthree\r\n");
}

TEST(HeaderBlock, ABodyWithoutBlankLineStartsAtTheFirstNonField)
{
    std::string text = "From mbox line\nSubject: s\nnot a field line\nmore";
    HeaderBlock block;
    std::size_t body = parse_header_block(text, 0, text.size(), block);
    EXPECT_EQ(block.value("Subject"), "s");
    EXPECT_EQ(text.substr(body), "not a field line\nmore");
}

struct ParameterCase {
    const char *field;
    const char *value;
    const char *name;
    const char *parameter; // host text
};

class Parameters : public ::testing::TestWithParam<ParameterCase> {};

TEST_P(Parameters, Decode)
{
    ParameterizedValue parsed = parse_parameterized(GetParam().field);
    EXPECT_EQ(parsed.value, GetParam().value) << GetParam().field;
    EXPECT_EQ(parsed.parameter(GetParam().name), GetParam().parameter) << GetParam().field;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Parameters,
    ::testing::Values(
        ParameterCase{"text/plain; charset=utf-8", "text/plain", "charset", "utf-8"},
        ParameterCase{"Text/HTML;CHARSET=\"ISO-8859-1\"", "text/html", "charset", "ISO-8859-1"},
        ParameterCase{"attachment; filename=\"a \\\"quoted\\\" name.txt\"", "attachment", "filename",
                      "a \"quoted\" name.txt"},
        ParameterCase{"attachment; filename*=iso-8859-1'de'M%E4rz.pdf", "attachment", "filename", "M\xE4rz.pdf"},
        ParameterCase{"attachment; filename*0*=utf-8''Gr%C3%BC; filename*1=\"sse.txt\"", "attachment", "filename",
                      "Gr\xFCsse.txt"},
        ParameterCase{"attachment; filename=plain.txt; filename*=utf-8''better%20one.txt", "attachment",
                      "filename", "better one.txt"},
        ParameterCase{"application/pdf; name=\"=?iso-8859-1?Q?M=E4rz.pdf?=\"", "application/pdf", "name",
                      "M\xE4rz.pdf"},
        ParameterCase{"multipart/mixed; (a comment) boundary=\"==b==\"", "multipart/mixed", "boundary", "==b=="},
        ParameterCase{"text/plain; name*1=second; name*0=first", "text/plain", "name", "firstsecond"},
        ParameterCase{"text/plain; name*0=first; name*2=gap", "text/plain", "name", "first"},
        ParameterCase{"; ; =", "", "x", ""}));

struct AddressCase {
    const char *field;
    std::vector<std::pair<std::string, std::string>> mailboxes; // name, address
};

class Addresses : public ::testing::TestWithParam<AddressCase> {};

TEST_P(Addresses, Parse)
{
    std::vector<Mailbox> parsed = parse_address_list(GetParam().field);
    ASSERT_EQ(parsed.size(), GetParam().mailboxes.size()) << GetParam().field;
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        EXPECT_EQ(parsed[i].name, GetParam().mailboxes[i].first) << GetParam().field;
        EXPECT_EQ(parsed[i].address, GetParam().mailboxes[i].second) << GetParam().field;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, Addresses,
    ::testing::Values(AddressCase{"ann@example.com", {{"", "ann@example.com"}}},
                      AddressCase{"Ann Lee <ann@example.com>", {{"Ann Lee", "ann@example.com"}}},
                      AddressCase{"\"Lee, Ann\" <ann@example.com>, bob@example.com",
                                  {{"Lee, Ann", "ann@example.com"}, {"", "bob@example.com"}}},
                      AddressCase{"ann@example.com (Ann Lee)", {{"Ann Lee", "ann@example.com"}}},
                      AddressCase{"=?UTF-8?Q?J=C3=B6rg?= <j@example.de>", {{"J\xF6rg", "j@example.de"}}},
                      AddressCase{"team: a@x.org, B <b@x.org>;, c@x.org",
                                  {{"", "a@x.org"}, {"B", "b@x.org"}, {"", "c@x.org"}}},
                      AddressCase{"undisclosed-recipients:;", {}},
                      AddressCase{"<@route.example:ann@example.com>", {{"", "ann@example.com"}}},
                      AddressCase{"", {}}, AddressCase{" , ,", {}}));

} // namespace
} // namespace provider

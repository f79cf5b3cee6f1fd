// The list texts zorva-mail builds from its options, and the items it
// refuses because the library could not take them whole.
#include <gtest/gtest.h>

#include <algorithm>

#include "list_texts.h"

using zorva_cli::Recipient;
using zorva_cli::RecipientClass;

namespace {

struct RecipientCase {
    const char *text;
    bool accepted;
    const char *name;
    const char *address;
};

const RecipientCase kRecipientCases[] = {
    {"Ann Lee <ann@example.com>", true, "Ann Lee", "ann@example.com"},
    {"<ann@example.com>", true, "", "ann@example.com"},
    {"ann@example.com", true, "ann@example.com", "ann@example.com"},
    {"\"Lee, Ann\" <ann@example.com>", true, "Lee, Ann", "ann@example.com"},
    {"  Bob Roe   < bob@example.com >  ", true, "Bob Roe", "bob@example.com"},
    {"SMTP:cy@example.com", true, "SMTP:cy@example.com", "SMTP:cy@example.com"},
    {"Ann <a|b@example.com>", false, "", ""},
    {"Ann|Lee <ann@example.com>", false, "", ""},
    {"Ann <>", false, "", ""},
    {"", false, "", ""},
    {"   ", false, "", ""},
};

void PrintTo(const RecipientCase &c, std::ostream *os) { *os << '"' << c.text << '"'; }

class RecipientParse : public ::testing::TestWithParam<RecipientCase> {};

TEST_P(RecipientParse, NameAndAddress)
{
    const RecipientCase &c = GetParam();
    Recipient r;
    std::string error;
    ASSERT_EQ(zorva_cli::parse_recipient(c.text, RecipientClass::Cc, &r, &error), c.accepted)
        << "\"" << c.text << "\": " << error;
    if (c.accepted) {
        EXPECT_EQ(r.name, c.name);
        EXPECT_EQ(r.address, c.address);
        EXPECT_EQ(r.recipient_class, RecipientClass::Cc);
    } else {
        EXPECT_FALSE(error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, RecipientParse, ::testing::ValuesIn(kRecipientCases));

std::vector<Recipient> numbered_recipients(size_t count)
{
    std::vector<Recipient> list;
    for (size_t i = 0; i < count; ++i) {
        list.push_back({RecipientClass::To, "R" + std::to_string(i), "r" + std::to_string(i)});
    }
    return list;
}

struct RecipientListCase {
    const char *what;
    std::vector<Recipient> recipients;
    bool accepted;
    std::string text;          // when accepted
    const char *error_mentions; // when refused
};

const std::string k79(79, 'n');
const std::string k80(80, 'n');

const RecipientListCase kRecipientListCases[] = {
    {"none is the absent marker", {}, true, "NULL", ""},
    {"one of each class",
     {{RecipientClass::To, "Ann", "a@x"}, {RecipientClass::Cc, "Bob", "b@x"},
      {RecipientClass::Bcc, "", "c@x"}},
     true, "TO|Ann|a@x|CC|Bob|b@x|BCC||c@x", ""},
    {"command-line order is kept",
     {{RecipientClass::Bcc, "Cy", "c@x"}, {RecipientClass::To, "Ann", "a@x"}},
     true, "BCC|Cy|c@x|TO|Ann|a@x", ""},
    {"a name of 79 characters", {{RecipientClass::To, k79, "a@x"}}, true, "TO|" + k79 + "|a@x", ""},
    {"a name of 80 characters", {{RecipientClass::To, k80, "a@x"}}, false, "", "80 characters"},
    {"an address of 80 characters", {{RecipientClass::To, "Ann", k80}}, false, "", "at most 79"},
    {"a name with the separator", {{RecipientClass::To, "A|B", "a@x"}}, false, "", "\"|\""},
    {"26 recipients fill 78 of the 80 items", numbered_recipients(26), true, "", ""},
    {"27 recipients need 81 items", numbered_recipients(27), false, "", "at most 26"},
};

void PrintTo(const RecipientListCase &c, std::ostream *os) { *os << c.what; }

class RecipientListText : public ::testing::TestWithParam<RecipientListCase> {};

TEST_P(RecipientListText, BuiltOrRefused)
{
    const RecipientListCase &c = GetParam();
    std::string text;
    std::string error;
    ASSERT_EQ(zorva_cli::recipient_list_text(c.recipients, &text, &error), c.accepted)
        << c.what << ": " << error;
    if (!c.accepted) {
        EXPECT_NE(error.find(c.error_mentions), std::string::npos) << c.what << ": " << error;
    } else if (!c.text.empty()) {
        EXPECT_EQ(text, c.text) << c.what;
    } else {
        // A long list: three items per recipient.
        size_t separators = std::count(text.begin(), text.end(), '|');
        EXPECT_EQ(separators + 1, 3 * c.recipients.size()) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, RecipientListText, ::testing::ValuesIn(kRecipientListCases));

std::vector<std::string> numbered_paths(size_t count)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < count; ++i) {
        paths.push_back("f" + std::to_string(i) + ".txt");
    }
    return paths;
}

struct AttachmentListCase {
    const char *what;
    std::vector<std::string> paths;
    bool accepted;
    std::string text;
};

const AttachmentListCase kAttachmentListCases[] = {
    {"none is the absent marker", {}, true, "NULL"},
    {"one path", {"report.txt"}, true, "report.txt"},
    {"two paths", {"a.txt", "C:\\data\\b.txt"}, true, "a.txt|C:\\data\\b.txt"},
    {"a path of 79 characters", {std::string(79, 'p')}, true, std::string(79, 'p')},
    {"a path of 80 characters", {std::string(80, 'p')}, false, ""},
    {"a path with the separator", {"a|b.txt"}, false, ""},
    {"an empty path", {""}, false, ""},
    {"80 paths", numbered_paths(80), true, ""},
    {"81 paths", numbered_paths(81), false, ""},
};

void PrintTo(const AttachmentListCase &c, std::ostream *os) { *os << c.what; }

class AttachmentListText : public ::testing::TestWithParam<AttachmentListCase> {};

TEST_P(AttachmentListText, BuiltOrRefused)
{
    const AttachmentListCase &c = GetParam();
    std::string text;
    std::string error;
    ASSERT_EQ(zorva_cli::attachment_list_text(c.paths, &text, &error), c.accepted)
        << c.what << ": " << error;
    if (!c.accepted) {
        EXPECT_FALSE(error.empty());
    } else if (!c.text.empty()) {
        EXPECT_EQ(text, c.text) << c.what;
    } else {
        EXPECT_EQ(static_cast<size_t>(std::count(text.begin(), text.end(), '|')) + 1,
                  c.paths.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, AttachmentListText, ::testing::ValuesIn(kAttachmentListCases));

// The address book's answer, split back for display.
TEST(RecipientListSplit, GroupsOfThree)
{
    auto listed = zorva_cli::split_recipient_list("TO|Ann|p|CC|Bob|q|BCC|Cy|r||Di|s");
    ASSERT_EQ(listed.size(), 4u);
    const char *classes[] = {"TO", "CC", "BCC", ""};
    const char *names[] = {"Ann", "Bob", "Cy", "Di"};
    const char *addresses[] = {"p", "q", "r", "s"};
    for (size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].class_word, classes[i]) << i;
        EXPECT_EQ(listed[i].name, names[i]) << i;
        EXPECT_EQ(listed[i].address, addresses[i]) << i;
    }
    EXPECT_TRUE(zorva_cli::split_recipient_list("").empty());
    auto short_group = zorva_cli::split_recipient_list("TO|Ann");
    ASSERT_EQ(short_group.size(), 1u);
    EXPECT_EQ(short_group[0].name, "Ann");
    EXPECT_EQ(short_group[0].address, "");
}

} // namespace

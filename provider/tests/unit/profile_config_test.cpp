// The configuration file's format.
#include <gtest/gtest.h>

#include "address_book.h"
#include "profile_config.h"

namespace provider {
namespace {

TEST(ProfileConfig, ReadsProfilesAndResolvesPaths)
{
    ProviderConfig config;
    std::string problem;
    ASSERT_EQ(parse_config("# comment\n; also a comment\ndefault_profile = Ann\n\n[profile Ann]\n"
                           "store = mail/ann\nname = Ann Lee\naddress = ann@example.com\nsmtp_host = mx.example.com\n"
                           "[transport]\nhost = elsewhere\n[profile Bob Roe]\r\nstore=/abs/bob\r\naddress=b@x.org\r\n"
                           "password = p w\r\n",
                           "/base", config, problem),
              ConfigStatus::Ok)
        << problem;
    EXPECT_EQ(config.default_profile, "Ann");
    ASSERT_EQ(config.profiles.size(), 2u);
    const Profile *ann = config.find("ann");
    ASSERT_NE(ann, nullptr);
    EXPECT_EQ(ann->user_name, "Ann Lee");
    EXPECT_FALSE(ann->has_password);
    EXPECT_NE(ann->store_folder.find("mail"), std::string::npos);
    EXPECT_EQ(ann->store_folder.rfind("/base", 0), 0u);
    EXPECT_EQ(ann->settings.at("smtp_host"), "mx.example.com");
    EXPECT_EQ(ann->settings.count("host"), 0u) << "other sections are not the profile's";
    const Profile *bob = config.find("BOB ROE");
    ASSERT_NE(bob, nullptr);
    EXPECT_TRUE(bob->has_password);
    EXPECT_EQ(bob->password, "p w");
    EXPECT_EQ(bob->user_name, "b@x.org") << "the address stands in for a missing name";
}

TEST(ProfileConfig, RefusesWhatCannotWork)
{
    const char *const broken[] = {
        "[profile ann\nstore = s\naddress = a@b.c\n",
        "[profile]\nstore = s\naddress = a@b.c\n",
        "[profile a]\nstore = s\naddress = a@b.c\n[profile A]\nstore = t\naddress = a@b.c\n",
        "[profile a]\naddress = a@b.c\n",
        "[profile a]\nstore = s\n",
        "[profile a]\nstore = s\naddress = a@b.c\njust words\n",
    };
    for (const char *text : broken) {
        ProviderConfig config;
        std::string problem;
        EXPECT_EQ(parse_config(text, "/base", config, problem), ConfigStatus::Invalid) << text;
        EXPECT_FALSE(problem.empty()) << text;
    }
}

TEST(ProfileConfig, Utf8WithItsMarkBecomesHostText)
{
    ProviderConfig config;
    std::string problem;
    ASSERT_EQ(parse_config("\xEF\xBB\xBF[profile j]\nstore = s\nname = J\xC3\xB6rg\naddress = j@x.de\n", "", config,
                           problem),
              ConfigStatus::Ok);
    EXPECT_EQ(config.profiles.at(0).user_name, "J\xF6rg");
}

TEST(AddressBookFile, SkipsLinesWithoutAnAddress)
{
    AddressBook book = parse_address_book("Ann <ann@x.org>\n\"Lee, Bob\" <SMTP:bob@x.org>\nplain@x.org\n"
                                          "# comment\nno address here\nbad <not an address>\n");
    ASSERT_EQ(book.entries.size(), 3u);
    EXPECT_EQ(book.entries[1].name, "Lee, Bob");
    EXPECT_EQ(book.entries[1].address, "bob@x.org");
    EXPECT_EQ(book.entries[2].name, "plain@x.org");
}

} // namespace
} // namespace provider

// Messages written by other mail programs (tests/fixtures) read back as
// their senders meant them, in the host's code page (Windows-1252 here).
#include "mail_fixture.h"

namespace {

struct ExpectedFile {
    std::string name;
    std::string bytes;
};

struct ExpectedRecipient {
    MapiULong recip_class;
    std::string name;
    std::string address;
};

struct FixtureCase {
    const char *file;
    std::string subject;
    std::string from_name;
    std::string from_address;
    std::vector<ExpectedRecipient> recipients;
    std::string date;
    std::string note_text;
    std::vector<ExpectedFile> files;
    MapiULong flags;
};

std::string pdf_bytes()
{
    std::string bytes = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes + "\n%%EOF\n";
}

const std::string kPng = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89"
                                     "\0\0\0\rIDATx\xda" "c\xfc\xcf\xc0P\x0f\0\x04\x85\x01\x80\x84\xa9\x8c!\0\0\0\0IEND\xae"
                                     "B`\x82",
                                     70);

std::vector<FixtureCase> fixture_cases()
{
    return {
        {"thunderbird_alternative.eml",
         "Gr\xFC\xDF" "e aus K\xF6ln",
         "J\xF6rg M\xFCller",
         "joerg@example.de",
         {{MAPI_TO, "Ann Lee", "ann@example.com"}},
         "2026/03/10 08:15",
         "Hallo Ann,\n\ndie Gr\xFC\xDF" "e aus K\xF6ln \x96 und ein langer Satz, der ganz sicher \xFC" "ber die\n"
         "Zeilenl\xE4nge von sechsundsiebzig Zeichen hinausgeht und umbrochen wird.\n\nJ\xF6rg\n",
         {},
         MAPI_UNREAD},
        {"outlook_mixed.eml",
         "Bericht f\xFCr M\xE4rz",
         "Bj\xF6rn \xC5str\xF6m",
         "bjorn.astrom@corp.example.org",
         {{MAPI_TO, "Lee, Ann", "ann@example.com"},
          {MAPI_CC, "Roe, Bob", "bob@example.com"},
          {MAPI_CC, "", "carl@example.org"}},
         "2026/03/11 16:42",
         "Sehr geehrte Frau Lee,\n\nanbei der Bericht f\xFCr M\xE4rz.\n\nMit freundlichen Gr\xFC\xDF" "en\nBj\xF6rn\n",
         {{"Bericht M\xE4rz.pdf", pdf_bytes()}},
         MAPI_UNREAD | MAPI_RECEIPT_REQUESTED},
        {"webmail_related.eml",
         "Quartalszahlen ? \x96 M\xE4rz",
         "Priya Raman",
         "priya@example.in",
         {{MAPI_TO, "", "ann@example.com"}},
         "2026/03/12 12:33",
         "Hi Ann,\n\nthe logo is inline, the numbers are attached.\n\nCheers,\nPriya\n",
         {{"logo.png", kPng}, {"Zahlen.csv", "Name;Betrag\r\nM\xC3\xBCller;12,50\r\n"}},
         MAPI_UNREAD},
        {"html_only.eml",
         "News \x96 Offers",
         "Shop",
         "news@shop.example.net",
         {{MAPI_TO, "", "ann@example.com"}},
         "2026/03/13 12:00",
         "News & Offers\nPrice: 10 \x80 \x96 only today!\nLine one\nLine two",
         {},
         MAPI_UNREAD},
        {"latin1_8bit.eml",
         "Caf\xE9 cr\xE8me et br\xFBl\xE9" "e",
         "Fran\xE7ois Dupr\xE9",
         "francois@example.fr",
         {{MAPI_TO, "", "ann@example.com"}},
         "2026/03/14 11:00",
         "Bonjour Ann,\n\nun caf\xE9 cr\xE8me \xE0 la terrasse ?\n\xC0 bient\xF4t\n",
         {},
         MAPI_UNREAD},
        {"forwarded.eml",
         "Fwd: Original",
         "Carl Dee",
         "carl@example.org",
         {{MAPI_TO, "", "ann@example.com"}},
         "2026/03/15 11:00",
         "See below.",
         {{"attachment 1.eml", "From: Bob Roe <bob@example.com>\r\nTo: carl@example.org\r\nSubject: Original\r\n"
                               "Date: Sun, 15 Mar 2026 10:00:00 +0000\r\n\r\nThe original text.\r\n"}},
         MAPI_UNREAD},
    };
}

class FixtureMailTest : public ProviderFixture, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(FixtureMailTest, ReadsBackAsTheSenderMeantIt)
{
    const FixtureCase c = fixture_cases()[GetParam()];
    std::string bytes = read_file(join("fixtures", c.file));
    ASSERT_FALSE(bytes.empty()) << "fixture " << c.file << " not found";
    drop(c.file, bytes);
    MapiHandle session = logon();
    std::vector<std::string> found = ids(session);
    ASSERT_EQ(found.size(), 1u);
    ReadResult result = read(session, found[0], MAPI_PEEK);
    ASSERT_EQ(result.code, SUCCESS_SUCCESS);
    EXPECT_EQ(text_of(result->subject), c.subject);
    EXPECT_EQ(text_of(result->originator->name), c.from_name);
    EXPECT_EQ(text_of(result->originator->address), c.from_address);
    ASSERT_EQ(result->recips.size(), c.recipients.size());
    for (std::size_t i = 0; i < c.recipients.size(); ++i) {
        EXPECT_EQ(result->recips[i].recip_class, c.recipients[i].recip_class) << i;
        EXPECT_EQ(text_of(result->recips[i].name), c.recipients[i].name) << i;
        EXPECT_EQ(text_of(result->recips[i].address), c.recipients[i].address) << i;
    }
    EXPECT_EQ(text_of(result->date_received), c.date);
    EXPECT_EQ(text_of(result->note_text), c.note_text);
    EXPECT_EQ(result->flags, c.flags);
    ASSERT_EQ(result->files.size(), c.files.size());
    for (std::size_t i = 0; i < c.files.size(); ++i) {
        EXPECT_EQ(text_of(result->files[i].file_name), c.files[i].name) << i;
        EXPECT_EQ(read_file(text_of(result->files[i].path_name)), c.files[i].bytes) << c.files[i].name;
    }
    // Untouched by reading: the store's copy is the sender's file, byte for byte.
    EXPECT_EQ(read_file(message_file(found[0])), bytes);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureMailTest, ::testing::Range<std::size_t>(0, fixture_cases().size()),
                         [](const ::testing::TestParamInfo<std::size_t> &param_info) {
                             std::string name = fixture_cases()[param_info.param].file;
                             return name.substr(0, name.find('.'));
                         });

TEST_F(FixtureMailTest, SubjectRewriteKeepsAForeignMessagesBody)
{
    drop("outlook_mixed.eml", read_file(join("fixtures", "outlook_mixed.eml")));
    MapiHandle session = logon();
    std::string id = ids(session).at(0);
    ReadResult original = read(session, id, 0);
    ASSERT_EQ(original.code, SUCCESS_SUCCESS);
    std::string before = read_file(message_file(id));
    original.message->subject = "Re-filed";
    char buffer[MAPI_MESSAGE_ID_SIZE];
    std::copy(id.c_str(), id.c_str() + id.size() + 1, buffer);
    ASSERT_EQ(mapi().MAPISaveMail(session, 0, original.message->view(), 0, 0, buffer), SUCCESS_SUCCESS);
    std::string after = read_file(message_file(id));
    std::size_t body = before.find("\r\n\r\n");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(after.substr(after.find("\r\n\r\n")), before.substr(body)) << "the body is the sender's, byte for byte";
    EXPECT_NE(after.find("\r\nThread-Topic: Bericht\r\n"), std::string::npos);
    EXPECT_EQ(text_of(read(session, id)->subject), "Re-filed");
}

} // namespace

// Messages sent through the library's SENDMAIL, our provider and a real
// SMTP server on loopback, compared with what the server received.
#include <algorithm>
#include <filesystem>

#include "smtp_fixture.h"

namespace {

const char *const kSuccess = "";

std::vector<std::string> sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

} // namespace

TEST_F(SmtpTest, EveryRecipientIsInTheEnvelopeAndBccInNoHeader)
{
    std::string binary = binary_bytes(70000) + "\r\n.\r\n..\n.";
    std::string dotted = ".first line starts with a dot\n.\n..two dots\nend\n";
    std::string files = make_file("data.bin", binary) + "|" + make_file("dotted.txt", dotted);
    std::string note = "Hello Bob,\n.a line that begins with a dot\n.\n..\nthe end.";
    CallOutcome sent = send("TO|Bob Roe|bob@example.org|CC|Carl Dee|SMTP:carl@example.net|BCC|Dora|dora@example.com",
                            "Figures", note, files);
    ASSERT_EQ(sent.result, 0) << sent.printed;
    EXPECT_EQ(sent.printed, kSuccess);

    std::vector<ReceivedMessage> messages = received();
    ASSERT_EQ(messages.size(), 1u);
    const ReceivedMessage &got = messages[0];
    EXPECT_EQ(got.mail_from, "ann@example.com");
    EXPECT_EQ(sorted(got.recipients),
              (std::vector<std::string>{"bob@example.org", "carl@example.net", "dora@example.com"}));
    EXPECT_NE(got.header("To").find("bob@example.org"), std::string::npos) << got.header("To");
    EXPECT_NE(got.header("Cc").find("carl@example.net"), std::string::npos) << got.header("Cc");
    EXPECT_NE(got.header("From").find("ann@example.com"), std::string::npos) << got.header("From");
    EXPECT_EQ(got.header("Subject"), "Figures");
    EXPECT_EQ(got.header("X-Zorva-Envelope-To"), "");
    for (const auto &field : got.headers) {
        EXPECT_FALSE(field.first == "Bcc" || field.second.find("dora") != std::string::npos)
            << field.first << ": " << field.second;
    }
    std::size_t header_end = got.raw.find("\r\n\r\n");
    ASSERT_NE(header_end, std::string::npos);
    EXPECT_EQ(got.raw.substr(0, header_end).find("dora"), std::string::npos);

    ASSERT_EQ(got.parts.size(), 3u);
    EXPECT_EQ(got.parts[0].content_type, "text/plain");
    EXPECT_EQ(lf_lines(got.parts[0].bytes).substr(0, note.size()), note);
    EXPECT_EQ(got.parts[1].file_name, "data.bin");
    EXPECT_EQ(got.parts[1].bytes, binary);
    EXPECT_EQ(got.parts[2].file_name, "dotted.txt");
    EXPECT_EQ(got.parts[2].bytes, dotted);
    EXPECT_TRUE(outbox().empty());
}

TEST_F(SmtpTest, OwnAddressStaysLocalAndOthersGoToTheServer)
{
    CallOutcome sent = send("TO|Ann Lee|ann@example.com|TO|Bob|bob@example.org", "Both ways", "one copy each");
    ASSERT_EQ(sent.result, 0) << sent.printed;
    std::vector<ReceivedMessage> messages = received();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].recipients, std::vector<std::string>{"bob@example.org"});
    std::vector<std::string> inbox;
    for (const auto &entry : std::filesystem::directory_iterator(inbox_path())) {
        inbox.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(inbox.size(), 1u);
    EXPECT_TRUE(outbox().empty());
}

// Note texts whose lines the transfer must carry unchanged.
struct NoteCase {
    const char *name;
    const char *note;
};

class SmtpNoteTest : public SmtpTest, public ::testing::WithParamInterface<NoteCase> {};

TEST_P(SmtpNoteTest, BodyArrivesUnchanged)
{
    std::string note = GetParam().note;
    CallOutcome sent = send("TO|Bob|bob@example.org", GetParam().name, note);
    std::replace(note.begin(), note.end(), '\r', '\n'); // as SENDMAIL hands it on
    ASSERT_EQ(sent.result, 0) << sent.printed;
    std::vector<ReceivedMessage> messages = received();
    ASSERT_EQ(messages.size(), 1u);
    ASSERT_FALSE(messages[0].parts.empty());
    std::string body = lf_lines(messages[0].parts[0].bytes);
    while (!body.empty() && body.back() == '\n' && body.size() > note.size()) {
        body.pop_back();
    }
    EXPECT_EQ(body, note);
}

INSTANTIATE_TEST_SUITE_P(Notes, SmtpNoteTest,
                         ::testing::Values(NoteCase{"OnlyADot", "."}, NoteCase{"DotFirst", ".hidden\nshown"},
                                           NoteCase{"DotLineInside", "before\n.\nafter"},
                                           NoteCase{"EndMarkerText", "a\r\n.\r\nb"},
                                           NoteCase{"ManyDots", "...\n....\n. .\n"},
                                           NoteCase{"LongLine", "x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x."
                                                                "x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x."
                                                                "x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x.x."}),
                         [](const ::testing::TestParamInfo<NoteCase> &case_info) { return case_info.param.name; });

// Authentication: what the server asks for, what the profile gives.
struct AuthCase {
    const char *name;
    const char *mode;
    const char *profile_lines;
    const char *logon_password;
    unsigned code; // 0: delivered
};

class SmtpAuthTest : public SmtpTest, public ::testing::WithParamInterface<AuthCase> {};

TEST_P(SmtpAuthTest, AuthenticatesOrFailsWithTheLoginCode)
{
    const AuthCase &c = GetParam();
    set_mode(c.mode);
    write_profile(c.profile_lines);
    CallOutcome sent = send("TO|Bob|bob@example.org", c.name, "secret mail", "NULL", c.logon_password);
    std::vector<ReceivedMessage> messages = received();
    if (c.code == 0) {
        ASSERT_EQ(sent.result, 0) << sent.printed;
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].recipients, std::vector<std::string>{"bob@example.org"});
        EXPECT_TRUE(outbox().empty());
    } else {
        EXPECT_EQ(sent.result, -1);
        EXPECT_EQ(sent.code(), c.code) << sent.printed;
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(outbox().size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Auth, SmtpAuthTest,
    ::testing::Values(
        AuthCase{"PlainOrLogin", "auth ann s3cret", "smtp_user = ann\nsmtp_password = s3cret\n", "", 0},
        AuthCase{"LoginOnly", "auth ann s3cret LOGIN", "smtp_user = ann\nsmtp_password = s3cret\n", "", 0},
        AuthCase{"PlainOnly", "auth ann s3cret PLAIN", "smtp_user = ann\nsmtp_password = s3cret\n", "", 0},
        AuthCase{"PasswordFromTheLogon", "auth ann s3cret", "password = s3cret\nsmtp_user = ann\n", "s3cret", 0},
        AuthCase{"WrongPassword", "auth ann s3cret", "smtp_user = ann\nsmtp_password = wrong\n", "", 3},
        AuthCase{"WrongPasswordByLogin", "auth ann s3cret LOGIN", "smtp_user = ann\nsmtp_password = bad\n", "", 3},
        AuthCase{"NoCredentials", "auth ann s3cret", "", "", 3},
        AuthCase{"NotAskedFor", "accept", "smtp_user = ann\nsmtp_password = s3cret\n", "", 0}),
    [](const ::testing::TestParamInfo<AuthCase> &case_info) { return case_info.param.name; });

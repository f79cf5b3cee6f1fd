// The SMTP reply reader and the DATA form of a message, called directly:
// replies in pieces of every size, and the transformations the server
// undoes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smtp_client.h"
#include "smtp_data.h"
#include "smtp_reply.h"

namespace {

struct ReplyCase {
    const char *name;
    const char *bytes;
    std::vector<int> codes; // the replies handed out, in order
    bool malformed;         // and then the reader gives up
    std::vector<std::string> last_lines;
};

class ReplyReaderTest : public ::testing::TestWithParam<ReplyCase> {};

// Every way of cutting the bytes into two pieces gives the same replies.
TEST_P(ReplyReaderTest, SameRepliesWhateverThePieces)
{
    const ReplyCase &c = GetParam();
    std::string bytes = c.bytes;
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        provider::SmtpReplyReader reader;
        std::vector<int> codes;
        std::vector<std::string> last_lines;
        bool malformed = false;
        auto drain = [&] {
            provider::SmtpReply reply;
            for (;;) {
                auto status = reader.next(reply);
                if (status == provider::SmtpReplyReader::Status::Reply) {
                    codes.push_back(reply.code);
                    last_lines = reply.lines;
                    continue;
                }
                malformed = malformed || status == provider::SmtpReplyReader::Status::Malformed;
                return;
            }
        };
        reader.feed(bytes.data(), cut);
        drain();
        reader.feed(bytes.data() + cut, bytes.size() - cut);
        drain();
        EXPECT_EQ(codes, c.codes) << "cut at " << cut;
        EXPECT_EQ(malformed, c.malformed) << "cut at " << cut;
        if (!c.last_lines.empty()) {
            EXPECT_EQ(last_lines, c.last_lines) << "cut at " << cut;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyReaderTest,
    ::testing::Values(
        ReplyCase{"OneLine", "250 OK\r\n", {250}, false, {"OK"}},
        ReplyCase{"MultiLine", "250-mail.example\r\n250-8BITMIME\r\n250 AUTH PLAIN LOGIN\r\n", {250}, false,
                  {"mail.example", "8BITMIME", "AUTH PLAIN LOGIN"}},
        ReplyCase{"BareLineFeeds", "220 hi\n250 ok\n", {220, 250}, false, {"ok"}},
        ReplyCase{"CodeOnly", "354\r\n", {354}, false, {""}},
        ReplyCase{"Unfinished", "250-first\r\n250 sec", {}, false, {}},
        ReplyCase{"CodeChangesInside", "250-first\r\n251 second\r\n", {}, true, {}},
        ReplyCase{"NotACode", "hello\r\n", {}, true, {}},
        ReplyCase{"FirstDigitOutOfRange", "650 no\r\n", {}, true, {}},
        ReplyCase{"BadSeparator", "250+x\r\n", {}, true, {}},
        ReplyCase{"BrokenAfterAGoodOne", "221 bye\r\nxx\r\n250 ok\r\n", {221}, true, {}}),
    [](const ::testing::TestParamInfo<ReplyCase> &case_info) { return case_info.param.name; });

TEST(ReplyReaderLimits, AnEndlessLineIsRefused)
{
    provider::SmtpReplyReader reader;
    std::string line = "250 " + std::string(provider::kLongestReplyLine + 10, 'x');
    reader.feed(line.data(), line.size());
    provider::SmtpReply reply;
    EXPECT_EQ(reader.next(reply), provider::SmtpReplyReader::Status::Malformed);
}

struct DataCase {
    const char *name;
    const char *message;
    const char *wire;
};

class DotStufferTest : public ::testing::TestWithParam<DataCase> {};

// Fed whole or byte by byte, the message takes the same form.
TEST_P(DotStufferTest, LinesEndInCrLfAndLeadingDotsAreDoubled)
{
    std::string message = GetParam().message;
    provider::DotStuffer whole;
    std::string at_once;
    whole.add(message.data(), message.size(), at_once);
    whole.finish(at_once);
    EXPECT_EQ(at_once, GetParam().wire);
    provider::DotStuffer bytewise;
    std::string piecemeal;
    for (char c : message) {
        bytewise.add(&c, 1, piecemeal);
    }
    bytewise.finish(piecemeal);
    EXPECT_EQ(piecemeal, GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(
    Data, DotStufferTest,
    ::testing::Values(DataCase{"Plain", "a\r\nb\r\n", "a\r\nb\r\n.\r\n"},
                      DataCase{"NoLastLineEnd", "a\r\nb", "a\r\nb\r\n.\r\n"},
                      DataCase{"Empty", "", ".\r\n"},
                      DataCase{"LeadingDots", ".a\r\n..\r\n.\r\n", "..a\r\n...\r\n..\r\n.\r\n"},
                      DataCase{"DotAtTheVeryStart", ".", "..\r\n.\r\n"},
                      DataCase{"DotsInsideALine", "a.b\r\n a.\r\n", "a.b\r\n a.\r\n.\r\n"},
                      DataCase{"LoneLineFeeds", "a\nb\n.\n", "a\r\nb\r\n..\r\n.\r\n"},
                      DataCase{"LoneCarriageReturns", "a\rb\r.c", "a\r\nb\r\n..c\r\n.\r\n"}),
    [](const ::testing::TestParamInfo<DataCase> &case_info) { return case_info.param.name; });

TEST(SmtpExtensions, KeywordsAreReadWithoutRegardToCase)
{
    provider::SmtpReply reply;
    reply.code = 250;
    reply.lines = {"mail.example greets you", "8bitmime", "auth login  PLAIN", "SIZE 1000"};
    provider::SmtpExtensions found = provider::parse_extensions(reply);
    EXPECT_TRUE(found.eight_bit_mime);
    EXPECT_TRUE(found.auth_offered);
    EXPECT_TRUE(found.auth_plain);
    EXPECT_TRUE(found.auth_login);
    reply.lines = {"mail.example 8BITMIME AUTH PLAIN", "AUTH CRAM-MD5"};
    found = provider::parse_extensions(reply);
    EXPECT_FALSE(found.eight_bit_mime);
    EXPECT_TRUE(found.auth_offered);
    EXPECT_FALSE(found.auth_plain);
    EXPECT_FALSE(found.auth_login);
}

} // namespace

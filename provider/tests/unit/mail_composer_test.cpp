// The composer's output read back by the provider's own reader, and the
// rules of the header and body it writes.
#include <gtest/gtest.h>

#include "mail_composer.h"
#include "mail_reader.h"

namespace provider {
namespace {

OutgoingMessage sample(const std::string &subject, const std::string &note)
{
    OutgoingMessage message;
    message.from_name = "Ann Lee";
    message.from_address = "ann@example.com";
    message.recipients = {{MAPI_TO, "Bob \"the\" Roe", "bob@example.com"},
                          {MAPI_CC, "Lee, Carl", "carl@example.org"},
                          {MAPI_BCC, "", "dora@example.net"}};
    message.subject = subject;
    message.note_text = note;
    message.date = "Sat, 14 Mar 2026 21:30:59 +0000";
    message.message_id = "<1@example.com>";
    message.boundary = "=_zorva_test";
    return message;
}

std::string composed(const OutgoingMessage &message, bool include_bcc = false)
{
    StringSink sink;
    EXPECT_EQ(compose_message(message, "", include_bcc, sink), SUCCESS_SUCCESS);
    return sink.bytes;
}

struct TextCase {
    const char *label;
    std::string subject;
    std::string note;
};

class ComposeAndRead : public ::testing::TestWithParam<TextCase> {};

TEST_P(ComposeAndRead, GivesBackWhatWentIn)
{
    OutgoingMessage message = sample(GetParam().subject, GetParam().note);
    message.attachments = {{"", "da\xDF.bin", true, std::string("\0\x01\xFF binary", 10)}};
    std::unique_ptr<MailContent> content = read_mail(composed(message));
    EXPECT_EQ(content->subject, GetParam().subject) << GetParam().label;
    EXPECT_EQ(content->note_text, GetParam().note) << GetParam().label;
    EXPECT_EQ(content->originator.name, "Ann Lee");
    ASSERT_EQ(content->recipients.size(), 2u) << "Bcc stays out";
    EXPECT_EQ(content->recipients[0].name, "Bob \"the\" Roe");
    EXPECT_EQ(content->recipients[1].name, "Lee, Carl");
    ASSERT_EQ(content->attachments.size(), 1u);
    EXPECT_EQ(content->attachments[0].file_name, "da\xDF.bin");
    EXPECT_EQ(content->attachment_bytes(content->attachments[0]), std::string("\0\x01\xFF binary", 10));
}

INSTANTIATE_TEST_SUITE_P(Texts, ComposeAndRead,
                         ::testing::Values(TextCase{"ascii", "Hello", "Line one\nLine two\n"},
                                           TextCase{"latin", "Gr\xFC\xDF" "e \x80", "K\xF6ln \x96 Z\xFCrich\n"},
                                           TextCase{"empty", "", ""},
                                           TextCase{"boundary look-alike", "=_zorva_test", "--=_zorva_test\n"},
                                           TextCase{"long subject", std::string(20, 'w') + " " + std::string(90, 'v') +
                                                                        " end of a very long subject text here",
                                                    "x"},
                                           TextCase{"no final line end", "s", "no newline at the end"}));

TEST(Compose, HeaderLinesStayShortAndBccIsOptional)
{
    OutgoingMessage message = sample("words " + std::string(10, 'x') + " and more words to make this subject long "
                                                                     "enough to need folding more than once, surely",
                                     "text");
    for (int i = 0; i < 10; ++i) {
        message.recipients.push_back({MAPI_TO, "Person " + std::to_string(i), "p" + std::to_string(i) + "@example.com"});
    }
    std::string with_bcc = composed(message, true);
    std::string without = composed(message, false);
    EXPECT_NE(with_bcc.find("\r\nBcc: dora@example.net\r\n"), std::string::npos);
    EXPECT_EQ(without.find("Bcc"), std::string::npos);
    std::string header = without.substr(0, without.find("\r\n\r\n") + 2);
    std::size_t start = 0;
    for (std::size_t end; (end = header.find("\r\n", start)) != std::string::npos; start = end + 2) {
        EXPECT_LE(end - start, 78u) << header.substr(start, end - start);
    }
}

TEST(Compose, ChoosesTheTransferEncoding)
{
    EXPECT_NE(composed(sample("s", "plain\n")).find("Content-Transfer-Encoding: 7bit"), std::string::npos);
    for (const char *note : {"caf\xE9", "trailing blank \n", ".dot\n", "From me\n", "a=_b"}) {
        EXPECT_NE(composed(sample("s", note)).find("quoted-printable"), std::string::npos) << note;
    }
    EXPECT_NE(composed(sample("s", std::string(1200, 'l'))).find("quoted-printable"), std::string::npos);
}

TEST(Compose, MissingAttachmentFileIsReported)
{
    OutgoingMessage message = sample("s", "t");
    message.attachments = {{"/no/such/file/anywhere.bin", "x.bin", false, ""}};
    StringSink sink;
    EXPECT_EQ(compose_message(message, "", false, sink), MAPI_E_ATTACHMENT_NOT_FOUND);
}

TEST(Compose, NoVisibleRecipientsNamesAnEmptyGroup)
{
    OutgoingMessage message = sample("s", "t");
    message.recipients = {{MAPI_BCC, "", "dora@example.net"}};
    EXPECT_NE(composed(message).find("\r\nTo: undisclosed-recipients:;\r\n"), std::string::npos);
}

} // namespace
} // namespace provider

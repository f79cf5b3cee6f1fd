// The reader's choice of body and attachments in MIME structures.
#include <gtest/gtest.h>

#include "html_text.h"
#include "mail_reader.h"

namespace provider {
namespace {

TEST(MailReader, AlternativePrefersPlainText)
{
    std::string text = "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\nContent-Type: text/html\r\n\r\n"
                       "<p>html</p>\r\n--b\r\nContent-Type: text/plain\r\n\r\nplain\r\n--b--\r\n";
    std::unique_ptr<MailContent> content = read_mail(text);
    EXPECT_EQ(content->note_text, "plain");
    EXPECT_TRUE(content->attachments.empty());
}

TEST(MailReader, HtmlOnlyBecomesText)
{
    std::string text = "Content-Type: text/html; charset=utf-8\r\n\r\n<p>one &amp; two</p><p>caf&eacute; &#233; "
                       "&#xE9; &bogus; &</p>";
    EXPECT_EQ(read_mail(text)->note_text, "one & two\ncaf\xE9 \xE9 \xE9 &bogus; &");
}

TEST(MailReader, LaterTextPartsAndNamedPartsAreAttachments)
{
    std::string text = "Content-Type: multipart/mixed; boundary=m\r\n\r\n--m\r\n\r\nfirst\r\n--m\r\n"
                       "Content-Type: text/plain\r\n\r\nsecond\r\n--m\r\nContent-Type: text/plain; name=n.txt\r\n\r\n"
                       "third\r\n--m\r\nContent-Type: image/gif\r\n\r\nGIF\r\n--m--";
    std::unique_ptr<MailContent> content = read_mail(text);
    EXPECT_EQ(content->note_text, "first");
    ASSERT_EQ(content->attachments.size(), 3u);
    EXPECT_EQ(content->attachments[0].file_name, "attachment 1.txt");
    EXPECT_EQ(content->attachments[1].file_name, "n.txt");
    EXPECT_EQ(content->attachments[2].file_name, "attachment 3.gif");
    EXPECT_EQ(content->attachment_bytes(content->attachments[1]), "third");
}

TEST(MailReader, AttachmentFirstGivesAnEmptyNote)
{
    std::string text = "Content-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\n\r\nJVBERg==\r\n";
    std::unique_ptr<MailContent> content = read_mail(text);
    EXPECT_EQ(content->note_text, "");
    ASSERT_EQ(content->attachments.size(), 1u);
    EXPECT_EQ(content->attachment_bytes(content->attachments[0]), "%PDF");
}

TEST(MailReader, CharsetsConvertToTheHostCodePage)
{
    struct Case {
        const char *charset;
        std::string body;
        std::string host;
    };
    const Case cases[] = {
        {"utf-8", "\xC3\xA9\xE2\x82\xAC", "\xE9\x80"},
        {"iso-8859-1", "\xE9", "\xE9"},
        {"ISO-8859-15", "\xA4", "\x80"},
        {"windows-1252", "\x93q\x94", "\x93q\x94"},
        {"utf-16le", std::string("h\0\xE9\0", 4), "h\xE9"},
        {"x-unknown", "\xE9", "\xE9"},
        {"utf-8", "\xE9 not utf-8", "\xE9 not utf-8"},
    };
    for (const Case &c : cases) {
        std::string text = std::string("Content-Type: text/plain; charset=") + c.charset + "\r\n\r\n" + c.body;
        EXPECT_EQ(read_mail(text)->note_text, c.host) << c.charset;
    }
}

TEST(HtmlText, SkipsHiddenPartsAndComments)
{
    std::u32string text = html_to_text(U"<head><title>t</title></head><!-- note --><b>bold</b>  text<script>x<y"
                                       U"</script>\n<br/>end");
    EXPECT_EQ(text, U"bold text\nend");
}

} // namespace
} // namespace provider

// Damaged message files: each is read as far as it parses, and nothing
// crashes, runs past a buffer or hangs.
#include "mail_fixture.h"

namespace {

struct DamagedCase {
    const char *label;
    std::string bytes;
    const char *subject;   // what the subject reads as
    const char *note_part; // text the note text must contain ("" for none)
    std::size_t files;     // attachments still found
};

std::string deep_nesting(int depth)
{
    std::string text = "Subject: deep\r\n";
    for (int i = 0; i < depth; ++i) {
        text += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\r\n\r\n--b" +
                std::to_string(i) + "\r\n";
    }
    return text + "Content-Type: text/plain\r\n\r\ninnermost\r\n";
}

std::vector<DamagedCase> damaged_cases()
{
    return {
        {"empty file", "", "", "", 0},
        {"header only, no line end", "Subject: cut", "cut", "", 0},
        {"no blank line before the body", "Subject: joined\r\nThis line starts the body\r\n", "joined",
         "This line starts the body", 0},
        {"bare LF line ends", "Subject: unix\nFrom: a@b.c\n\nbody\n", "unix", "body", 0},
        {"binary garbage", binary_bytes(3000, 7), "", "", 0},
        {"NUL bytes in the text", std::string("Subject: nul\r\n\r\nbefore\0after\r\n", 31), "nul", "before after",
         0},
        {"multipart without boundary parameter",
         "Subject: nb\r\nContent-Type: multipart/mixed\r\n\r\nplain words\r\n", "nb", "plain words", 0},
        {"boundary never closed",
         "Subject: open\r\nContent-Type: multipart/mixed; boundary=X\r\n\r\n--X\r\nContent-Type: text/plain\r\n\r\n"
         "the text\r\n--X\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
         "Content-Disposition: attachment; filename=cut.bin\r\n\r\nAAEC",
         "open", "the text", 1},
        {"boundary never found",
         "Subject: lost\r\nContent-Type: multipart/mixed; boundary=NOPE\r\n\r\nonly a preamble\r\n", "lost", "", 0},
        {"broken base64 and quoted-printable",
         "Subject: codes\r\nContent-Type: multipart/mixed; boundary=Y\r\n\r\n--Y\r\nContent-Type: text/plain\r\n"
         "Content-Transfer-Encoding: quoted-printable\r\n\r\nbad =ZZ escape and =\r\n--Y\r\n"
         "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=b.bin\r\n\r\n"
         "!!@@##$$%%\r\n--Y--\r\n",
         "codes", "bad =ZZ escape", 1},
        {"broken encoded words", "Subject: =?utf-8?B?not base64 at all?= =?x?Q?=4?= =?utf-8?Z?x?=\r\n\r\nb\r\n",
         "=?utf-8?B?not base64 at all?= =4 =?utf-8?Z?x?=", "b", 0},
        {"encoded word of an unknown charset", "Subject: =?x-unknown?Q?caf=E9?=\r\n\r\nb\r\n", "caf\xE9", "b", 0},
        {"unterminated quotes and comments",
         "From: \"Ann (unfinished <ann@example.com\r\nTo: (((\r\nSubject: quotes\r\n\r\nb\r\n", "quotes", "b", 0},
        {"parameters without values",
         "Subject: params\r\nContent-Type: text/plain; charset; =; name*0*=; name*99=x\r\n\r\nb\r\n", "params", "b",
         0},
        {"a header line of a megabyte", "Subject: " + std::string(1 << 20, 'x') + "\r\n\r\nb\r\n", nullptr, "b", 0},
        {"nested a thousand deep", deep_nesting(1000), "deep", "innermost", 0},
    };
}

class DamagedMailTest : public ProviderFixture, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(DamagedMailTest, IsReadAsFarAsItParses)
{
    const DamagedCase c = damaged_cases()[GetParam()];
    drop("damaged.eml", c.bytes);
    MapiHandle session = logon();
    std::vector<std::string> found = ids(session);
    ASSERT_EQ(found.size(), 1u) << c.label;
    ReadResult result = read(session, found[0], 0);
    ASSERT_EQ(result.code, SUCCESS_SUCCESS) << c.label;
    if (c.subject != nullptr) {
        EXPECT_EQ(text_of(result->subject), c.subject) << c.label;
    }
    EXPECT_NE(text_of(result->note_text).find(c.note_part), std::string::npos)
        << c.label << ": " << text_of(result->note_text).substr(0, 200);
    EXPECT_EQ(result->files.size(), c.files) << c.label;
    ASSERT_TRUE(result->originator.has_value()) << c.label << ": hosts read the originator unchecked";
    // Still a message of the store: it can be marked, saved and deleted.
    EXPECT_TRUE(ids(session, MAPI_UNREAD_ONLY).empty()) << c.label;
    char id[MAPI_MESSAGE_ID_SIZE];
    std::copy(found[0].c_str(), found[0].c_str() + found[0].size() + 1, id);
    EXPECT_EQ(mapi().MAPIDeleteMail(session, 0, id, 0, 0), SUCCESS_SUCCESS) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedMailTest, ::testing::Range<std::size_t>(0, damaged_cases().size()),
                         [](const ::testing::TestParamInfo<std::size_t> &param_info) {
                             std::string name;
                             for (char c : std::string(damaged_cases()[param_info.param].label)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

TEST_F(DamagedMailTest, TruncatedCopiesOfAMessageAllRead)
{
    // Every prefix of a real message, cut at many places.
    MapiHandle session = logon();
    std::string id = send_to_self(session, "whole", "some text\nmore text\n",
                                  {{make_file("x.bin", binary_bytes(2000)), ""}, {make_file("y.txt", "why"), ""}});
    std::string whole = read_file(message_file(id));
    char text[MAPI_MESSAGE_ID_SIZE];
    std::copy(id.c_str(), id.c_str() + id.size() + 1, text);
    ASSERT_EQ(mapi().MAPIDeleteMail(session, 0, text, 0, 0), SUCCESS_SUCCESS);
    const std::size_t kStep = 97;
    for (std::size_t cut = 0; cut < whole.size(); cut += kStep) {
        drop("cut" + std::to_string(cut) + ".eml", whole.substr(0, cut));
    }
    std::vector<std::string> found = ids(session);
    EXPECT_EQ(found.size(), (whole.size() + kStep - 1) / kStep);
    for (const std::string &each : found) {
        EXPECT_EQ(read(session, each, MAPI_PEEK).code, SUCCESS_SUCCESS) << each;
    }
}

} // namespace

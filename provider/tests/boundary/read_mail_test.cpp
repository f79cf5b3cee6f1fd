// MAPIReadMail: what a message reads back as, the read state and its
// flags, attachments written to files, and the received date.
#include <regex>

#include "mail_fixture.h"

namespace {

class ReadMailTest : public ProviderFixture {};

TEST_F(ReadMailTest, SentMessageReadsBackWithEveryField)
{
    MapiHandle session = logon();
    std::string payload = binary_bytes(5000);
    std::string report = "Quarterly figures\r\nline two\r\n";
    Outgoing message;
    message.subject = "Figures for Q3";
    message.note = "Dear Ann,\nplease find the figures attached.\n\n-- \nBob\n";
    message.recipients = {{MAPI_TO, "Ann Lee", "ann@example.com"}, {MAPI_CC, "Carl Dee", "carl@example.org"}};
    message.files = {{make_file("figures.bin", payload), ""}, {make_file("r.txt", report), "report.txt"}};
    ASSERT_EQ(send(session, message), SUCCESS_SUCCESS);
    std::vector<std::string> found = ids(session);
    ASSERT_EQ(found.size(), 1u);

    ReadResult result = read(session, found[0], 0);
    ASSERT_EQ(result.code, SUCCESS_SUCCESS);
    EXPECT_EQ(text_of(result->subject), "Figures for Q3");
    EXPECT_EQ(text_of(result->note_text), message.note);
    ASSERT_TRUE(result->originator.has_value());
    EXPECT_EQ(result->originator->recip_class, MAPI_ORIG);
    EXPECT_EQ(text_of(result->originator->name), "Ann Lee");
    EXPECT_EQ(text_of(result->originator->address), "ann@example.com");
    ASSERT_EQ(result->recips.size(), 2u);
    EXPECT_EQ(result->recips[0].recip_class, MAPI_TO);
    EXPECT_EQ(text_of(result->recips[0].address), "ann@example.com");
    EXPECT_EQ(result->recips[1].recip_class, MAPI_CC);
    EXPECT_EQ(text_of(result->recips[1].name), "Carl Dee");
    EXPECT_EQ(text_of(result->recips[1].address), "carl@example.org");
    EXPECT_TRUE(std::regex_match(text_of(result->date_received), std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d)")))
        << text_of(result->date_received);
    EXPECT_EQ(result->flags & MAPI_UNREAD, MAPI_UNREAD) << "it was unread when it was read";

    ASSERT_EQ(result->files.size(), 2u);
    EXPECT_EQ(text_of(result->files[0].file_name), "figures.bin");
    EXPECT_EQ(text_of(result->files[1].file_name), "report.txt");
    EXPECT_EQ(read_file(text_of(result->files[0].path_name)), payload);
    EXPECT_EQ(read_file(text_of(result->files[1].path_name)), report);
    EXPECT_EQ(join(scratch_.file("attachments"), found[0]),
              text_of(result->files[0].path_name).substr(0, scratch_.file("attachments").size() + 1 + found[0].size()));
}

TEST_F(ReadMailTest, PeekLeavesUnreadAndReadingMarksRead)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "state");
    ASSERT_EQ(read(session, id, MAPI_PEEK).code, SUCCESS_SUCCESS);
    EXPECT_EQ(ids(session, MAPI_UNREAD_ONLY).size(), 1u);
    EXPECT_EQ(read(session, id, MAPI_PEEK)->flags & MAPI_UNREAD, MAPI_UNREAD);
    ASSERT_EQ(read(session, id, 0).code, SUCCESS_SUCCESS);
    EXPECT_TRUE(ids(session, MAPI_UNREAD_ONLY).empty());
    EXPECT_EQ(read(session, id, MAPI_PEEK)->flags & MAPI_UNREAD, 0u);
}

TEST_F(ReadMailTest, ReadStateSurvivesARestart)
{
    MapiHandle session = logon();
    std::string read_one = send_to_self(session, "read");
    std::string unread_one = send_to_self(session, "unread");
    ASSERT_EQ(read(session, read_one, 0).code, SUCCESS_SUCCESS);
    unload_provider();
    load_provider();
    MapiHandle again = logon();
    EXPECT_EQ(ids(again, MAPI_UNREAD_ONLY), (std::vector<std::string>{unread_one}));
    EXPECT_EQ(ids(again), (std::vector<std::string>{read_one, unread_one}));
}

TEST_F(ReadMailTest, EnvelopeOnlyHandsOutNoTextNoFilesAndLeavesUnread)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "envelope", "body text", {{make_file("a.bin", "abc"), ""}});
    std::vector<std::string> attachments_before = folder_names(scratch_.file("attachments"));
    ReadResult result = read(session, id, MAPI_ENVELOPE_ONLY);
    ASSERT_EQ(result.code, SUCCESS_SUCCESS);
    EXPECT_EQ(text_of(result->subject), "envelope");
    EXPECT_FALSE(result->note_text.has_value());
    ASSERT_EQ(result->files.size(), 1u);
    EXPECT_FALSE(result->files[0].path_name.has_value());
    EXPECT_EQ(text_of(result->files[0].file_name), "a.bin");
    EXPECT_EQ(folder_names(scratch_.file("attachments")), attachments_before);
    // Only the header was looked at: the message has not been read.
    EXPECT_EQ(ids(session, MAPI_UNREAD_ONLY), (std::vector<std::string>{id}));
}

TEST_F(ReadMailTest, SuppressAttachGivesTextWithoutFiles)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "suppress", "the text", {{make_file("b.bin", "xyz"), ""}});
    ReadResult result = read(session, id, MAPI_SUPPRESS_ATTACH | MAPI_PEEK);
    ASSERT_EQ(result.code, SUCCESS_SUCCESS);
    EXPECT_EQ(text_of(result->note_text), "the text");
    ASSERT_EQ(result->files.size(), 1u);
    EXPECT_FALSE(result->files[0].path_name.has_value());
}

TEST_F(ReadMailTest, BodyAsFileComesFirstAmongTheFiles)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "as file", "text in a file\n", {{make_file("c.bin", "123"), ""}});
    ReadResult result = read(session, id, MAPI_BODY_AS_FILE | MAPI_PEEK);
    ASSERT_EQ(result.code, SUCCESS_SUCCESS);
    EXPECT_EQ(text_of(result->note_text), "");
    ASSERT_EQ(result->files.size(), 2u);
    EXPECT_EQ(read_file(text_of(result->files[0].path_name)), "text in a file\n");
    EXPECT_EQ(read_file(text_of(result->files[1].path_name)), "123");
}

TEST_F(ReadMailTest, AttachmentsOfOneNameGetFilesOfTheirOwn)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "twins", "",
                                  {{make_file("one", "first"), "same.txt"}, {make_file("two", "second"), "same.txt"}});
    ReadResult result = read(session, id);
    ASSERT_EQ(result->files.size(), 2u);
    EXPECT_NE(text_of(result->files[0].path_name), text_of(result->files[1].path_name));
    EXPECT_EQ(read_file(text_of(result->files[0].path_name)), "first");
    EXPECT_EQ(read_file(text_of(result->files[1].path_name)), "second");
}

TEST_F(ReadMailTest, ReceivedDateIsTheTraceFieldsInLocalTime)
{
    // TZ is UTC for these tests; the message was received at 23:30 +0200.
    drop("dated.eml", "Received: from mx.example.net by mail.example.com; Sat, 14 Mar 2026 23:30:59 +0200\r\n"
                      "Date: Fri, 13 Mar 2026 08:00:00 +0000\r\n"
                      "From: Eve <eve@example.net>\r\nSubject: dated\r\n\r\nbody\r\n");
    drop("undated.eml", "Date: Mon, 2 Feb 2026 9:05 -0500\r\nSubject: only a date\r\n\r\nbody\r\n");
    MapiHandle session = logon();
    std::vector<std::string> found = ids(session);
    ASSERT_EQ(found.size(), 2u);
    std::vector<std::string> dates = {text_of(read(session, found[0])->date_received),
                                      text_of(read(session, found[1])->date_received)};
    std::sort(dates.begin(), dates.end());
    EXPECT_EQ(dates, (std::vector<std::string>{"2026/02/02 14:05", "2026/03/14 21:30"}));
}

TEST_F(ReadMailTest, UnknownIdsAreInvalidMessages)
{
    MapiHandle session = logon();
    send_to_self(session, "present");
    for (const char *id : {"0000000042-00000000", "", "..\\..\\secret", "0000000001-0000000g"}) {
        EXPECT_EQ(read(session, id).code, MAPI_E_INVALID_MESSAGE) << id;
    }
    MapiMessage *message = reinterpret_cast<MapiMessage *>(&session);
    EXPECT_EQ(mapi().MAPIReadMail(session, 0, nullptr, 0, 0, &message), MAPI_E_INVALID_MESSAGE);
    EXPECT_EQ(message, nullptr);
    char id[] = "0000000001-00000000";
    EXPECT_EQ(mapi().MAPIReadMail(session, 0, id, 0, 0, nullptr), MAPI_E_FAILURE);
}

TEST_F(ReadMailTest, FailedAttachmentWriteLeavesTheMessageUnread)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "unwritable", "t", {{make_file("d.bin", "data"), ""}});
    // The attachment folder cannot be made: a file stands in its place.
    write_config(default_config() + "\n[profile carl]\nstore = store-ann\naddress = ann@example.com\n"
                                    "attachment_folder = blocker/sub\n");
    write_file(scratch_.file("blocker"), "a file, not a folder");
    MapiHandle carl = logon("carl");
    ReadResult result = read(carl, id, 0);
    EXPECT_EQ(result.code, MAPI_E_ATTACHMENT_WRITE_FAILURE);
    EXPECT_EQ(ids(session, MAPI_UNREAD_ONLY), (std::vector<std::string>{id}));
}

} // namespace

// MAPISaveMail: rewriting a stored message changes only what was asked,
// atomically; a new message gets an ID; bad input changes nothing.
#include <cstring>

#include "mail_fixture.h"

namespace {

class SaveMailTest : public ProviderFixture {
  protected:
    // Reads a message fully (attachments to files), as a host does before saving it back.
    std::unique_ptr<test_provider::OwnedMessage> fetch(MapiHandle session, const std::string &id,
                                                       MapiULong flags = MAPI_PEEK)
    {
        ReadResult result = read(session, id, flags);
        EXPECT_EQ(result.code, SUCCESS_SUCCESS);
        return std::move(result.message);
    }

    MapiULong save(MapiHandle session, test_provider::OwnedMessage &message, std::string &id)
    {
        char buffer[MAPI_MESSAGE_ID_SIZE] = "";
        std::strcpy(buffer, id.c_str());
        MapiULong result = mapi().MAPISaveMail(session, 0, message.view(), 0, 0, buffer);
        id = buffer;
        return result;
    }

    // The message file without its Subject line.
    static std::string without_subject(const std::string &file)
    {
        std::size_t start = file.find("\r\nSubject:");
        if (start == std::string::npos) return file;
        std::size_t end = file.find("\r\n", start + 2);
        while (end != std::string::npos && end + 2 < file.size() && (file[end + 2] == ' ' || file[end + 2] == '\t')) {
            end = file.find("\r\n", end + 2);
        }
        return file.substr(0, start) + file.substr(end);
    }
};

TEST_F(SaveMailTest, NewSubjectChangesOnlyTheSubjectField)
{
    MapiHandle session = logon();
    std::string payload = binary_bytes(3000);
    std::string id = send_to_self(session, "old subject", "the body\n", {{make_file("p.bin", payload), ""}});
    std::string before = read_file(message_file(id));
    auto message = fetch(session, id);
    message->subject = "a new subject";
    std::string saved_id = id;
    ASSERT_EQ(save(session, *message, saved_id), SUCCESS_SUCCESS);
    EXPECT_EQ(saved_id, id);

    std::string after = read_file(message_file(id));
    EXPECT_NE(after.find("\r\nSubject: a new subject\r\n"), std::string::npos);
    EXPECT_EQ(without_subject(after), without_subject(before)) << "only the subject may change";
    auto again = fetch(session, id);
    EXPECT_EQ(text_of(again->subject), "a new subject");
    EXPECT_EQ(text_of(again->note_text), "the body\n");
    ASSERT_EQ(again->files.size(), 1u);
    EXPECT_EQ(read_file(text_of(again->files[0].path_name)), payload);
    EXPECT_EQ(ids(session, MAPI_UNREAD_ONLY), (std::vector<std::string>{id})) << "the read state is kept";
    EXPECT_TRUE(folder_names(join(store(), "tmp")).empty()) << "a temporary file was left";
}

TEST_F(SaveMailTest, SubjectOutsideAsciiIsWrittenAsEncodedWords)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "plain");
    auto message = fetch(session, id);
    message->subject = "R\xE9sum\xE9 f\xFCr Z\xFCrich \x80 " + std::string(60, 'x');
    std::string saved = id;
    ASSERT_EQ(save(session, *message, saved), SUCCESS_SUCCESS);
    std::string file = read_file(message_file(id));
    EXPECT_NE(file.find("Subject: =?UTF-8?B?"), std::string::npos);
    EXPECT_EQ(text_of(fetch(session, id)->subject), *message->subject);
}

TEST_F(SaveMailTest, EnvelopeReadSavedBackKeepsTheBody)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "s", "keep me\n", {{make_file("k.bin", "kept bytes"), ""}});
    auto message = fetch(session, id, MAPI_ENVELOPE_ONLY);
    message->subject = "t";
    std::string saved = id;
    ASSERT_EQ(save(session, *message, saved), SUCCESS_SUCCESS);
    auto again = fetch(session, id);
    EXPECT_EQ(text_of(again->subject), "t");
    EXPECT_EQ(text_of(again->note_text), "keep me\n");
    ASSERT_EQ(again->files.size(), 1u);
    EXPECT_EQ(read_file(text_of(again->files[0].path_name)), "kept bytes");
}

TEST_F(SaveMailTest, NewNoteTextRecomposesTheBodyAndKeepsTheHeader)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "s", "old text\n", {{make_file("q.bin", "attached"), ""}});
    std::string before = read_file(message_file(id));
    auto message = fetch(session, id);
    message->note_text = "new text, na\xEFve\n";
    std::string saved = id;
    ASSERT_EQ(save(session, *message, saved), SUCCESS_SUCCESS);
    std::string after = read_file(message_file(id));
    for (const char *field : {"Message-ID:", "Date:", "Received:"}) {
        std::size_t start = before.find(field);
        ASSERT_NE(start, std::string::npos) << field;
        std::string line = before.substr(start, before.find("\r\n", start) - start);
        EXPECT_NE(after.find(line), std::string::npos) << field << " was not kept";
    }
    auto again = fetch(session, id);
    EXPECT_EQ(text_of(again->note_text), "new text, na\xEFve\n");
    ASSERT_EQ(again->files.size(), 1u);
    EXPECT_EQ(read_file(text_of(again->files[0].path_name)), "attached");
}

TEST_F(SaveMailTest, EmptyIdSavesANewMessageAndWritesItsId)
{
    MapiHandle session = logon();
    std::string existing = send_to_self(session, "existing");
    Outgoing draft;
    draft.subject = "draft";
    draft.note = "saved, not sent";
    draft.recipients = {{MAPI_TO, "", "bob@example.com"}, {MAPI_BCC, "", "dora@example.net"}};
    draft.flags = MAPI_UNREAD;
    OutgoingRecord record(draft);
    std::string id;
    ASSERT_EQ(save(session, record.owned(), id), SUCCESS_SUCCESS);
    EXPECT_EQ(ids(session), (std::vector<std::string>{existing, id}));
    EXPECT_EQ(ids(session, MAPI_UNREAD_ONLY), (std::vector<std::string>{existing, id}));
    auto saved = fetch(session, id);
    EXPECT_EQ(text_of(saved->subject), "draft");
    ASSERT_EQ(saved->recips.size(), 2u) << "a saved message keeps its Bcc recipients";
    EXPECT_EQ(saved->recips[1].recip_class, MAPI_BCC);
    EXPECT_TRUE(folder_names(outbox()).empty()) << "saving sends nothing";
}

struct BadSave {
    const char *label;
    const char *id;
    const char *attachment; // a path to attach, "" for none
    MapiULong expected;
};

const BadSave kBadSaves[] = {
    {"unknown ID", "0000000099-00000000", "", MAPI_E_INVALID_MESSAGE},
    {"not an ID", "nonsense", "", MAPI_E_INVALID_MESSAGE},
    {"missing attachment", nullptr, "no-such-file.bin", MAPI_E_ATTACHMENT_NOT_FOUND},
};

class BadSaveTest : public SaveMailTest, public ::testing::WithParamInterface<BadSave> {};

TEST_P(BadSaveTest, ChangesNothing)
{
    const BadSave &c = GetParam();
    MapiHandle session = logon();
    std::string id = send_to_self(session, "unchanged", "text\n");
    std::string before = read_file(message_file(id));
    auto message = fetch(session, id);
    message->subject = "changed";
    message->note_text = "changed text";
    if (*c.attachment != '\0') {
        test_provider::OwnedFile file;
        file.path_name = scratch_.file(c.attachment);
        message->files.push_back(file);
    }
    std::string target = c.id != nullptr ? c.id : id;
    EXPECT_EQ(save(session, *message, target), c.expected) << c.label;
    EXPECT_EQ(read_file(message_file(id)), before) << c.label;
    EXPECT_EQ(ids(session).size(), 1u) << c.label;
    EXPECT_TRUE(folder_names(join(store(), "tmp")).empty()) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Input, BadSaveTest, ::testing::ValuesIn(kBadSaves));

TEST_F(SaveMailTest, NullRecordsAreRefused)
{
    MapiHandle session = logon();
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    MapiMessage message{};
    EXPECT_EQ(mapi().MAPISaveMail(session, 0, nullptr, 0, 0, id), MAPI_E_FAILURE);
    EXPECT_EQ(mapi().MAPISaveMail(session, 0, &message, 0, 0, nullptr), MAPI_E_FAILURE);
    EXPECT_TRUE(ids(session).empty());
}

} // namespace

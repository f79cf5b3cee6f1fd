// MAPIFindNext: arrival order, unread messages only, seeds, and what it
// leaves alone when there is nothing to find.
#include <cstring>

#include "mail_fixture.h"

namespace {

class FindNextTest : public ProviderFixture {
  protected:
    MapiULong find(MapiHandle session, const char *seed, MapiULong flags, char *id, const char *type = nullptr)
    {
        std::string seed_text = seed != nullptr ? seed : "";
        std::string type_text = type != nullptr ? type : "";
        return mapi().MAPIFindNext(session, 0, type != nullptr ? &type_text[0] : nullptr,
                                   seed != nullptr ? &seed_text[0] : nullptr, flags, 0, id);
    }
};

TEST_F(FindNextTest, EmptyStoreHasNoMessagesAndLeavesTheBuffer)
{
    MapiHandle session = logon();
    char id[MAPI_MESSAGE_ID_SIZE] = "untouched";
    EXPECT_EQ(find(session, nullptr, MAPI_GUARANTEE_FIFO, id), MAPI_E_NO_MESSAGES);
    EXPECT_STREQ(id, "untouched");
    EXPECT_EQ(find(session, "", MAPI_GUARANTEE_FIFO | MAPI_UNREAD_ONLY, id), MAPI_E_NO_MESSAGES);
    EXPECT_STREQ(id, "untouched");
}

TEST_F(FindNextTest, MessagesComeInArrivalOrder)
{
    MapiHandle session = logon();
    std::vector<std::string> sent;
    for (const char *subject : {"first", "second", "third"}) {
        sent.push_back(send_to_self(session, subject));
    }
    EXPECT_EQ(ids(session), sent);
    std::vector<std::string> subjects;
    for (const std::string &id : ids(session)) {
        subjects.push_back(text_of(read(session, id)->subject));
    }
    EXPECT_EQ(subjects, (std::vector<std::string>{"first", "second", "third"}));
}

TEST_F(FindNextTest, LastMessageLeavesTheBufferAsItWas)
{
    MapiHandle session = logon();
    std::string only = send_to_self(session, "only");
    char id[MAPI_MESSAGE_ID_SIZE];
    std::strcpy(id, "kept");
    EXPECT_EQ(find(session, only.c_str(), MAPI_GUARANTEE_FIFO, id), MAPI_E_NO_MESSAGES);
    EXPECT_STREQ(id, "kept");
}

TEST_F(FindNextTest, UnreadOnlySkipsReadMessages)
{
    MapiHandle session = logon();
    std::string a = send_to_self(session, "a");
    std::string b = send_to_self(session, "b");
    std::string c = send_to_self(session, "c");
    ASSERT_EQ(read(session, b, 0).code, SUCCESS_SUCCESS); // marks b read
    EXPECT_EQ(ids(session, MAPI_GUARANTEE_FIFO | MAPI_UNREAD_ONLY), (std::vector<std::string>{a, c}));
    // A read message still serves as a seed: the next unread after it.
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    ASSERT_EQ(find(session, b.c_str(), MAPI_UNREAD_ONLY, id), SUCCESS_SUCCESS);
    EXPECT_EQ(std::string(id), c);
    EXPECT_EQ(ids(session), (std::vector<std::string>{a, b, c}));
}

TEST_F(FindNextTest, SeedMayBeTheOutputBufferItself)
{
    MapiHandle session = logon();
    std::string a = send_to_self(session, "a");
    std::string b = send_to_self(session, "b");
    char buffer[MAPI_MESSAGE_ID_SIZE];
    std::strcpy(buffer, a.c_str());
    ASSERT_EQ(mapi().MAPIFindNext(session, 0, nullptr, buffer, MAPI_GUARANTEE_FIFO, 0, buffer), SUCCESS_SUCCESS);
    EXPECT_EQ(std::string(buffer), b);
}

struct BadSeed {
    const char *label;
    const char *seed;
};

const BadSeed kBadSeeds[] = {
    {"well-formed but unknown", "0000009999-deadbeef"},
    {"not an ID at all", "hello"},
    {"a path", "../inbox/0000000001-00000000"},
    {"upper-case hex", "0000000001-DEADBEEF"},
    {"too long", "0000000001-000000001"},
};

class BadSeedTest : public FindNextTest, public ::testing::WithParamInterface<BadSeed> {};

TEST_P(BadSeedTest, IsAnInvalidMessage)
{
    MapiHandle session = logon();
    send_to_self(session, "present");
    char id[MAPI_MESSAGE_ID_SIZE] = "kept";
    EXPECT_EQ(find(session, GetParam().seed, MAPI_GUARANTEE_FIFO, id), MAPI_E_INVALID_MESSAGE) << GetParam().label;
    EXPECT_STREQ(id, "kept");
}

INSTANTIATE_TEST_SUITE_P(Seeds, BadSeedTest, ::testing::ValuesIn(kBadSeeds));

TEST_F(FindNextTest, OnlyOrdinaryMailIsFound)
{
    MapiHandle session = logon();
    std::string id_sent = send_to_self(session, "mail");
    for (const char *type : {"", "IPM", "IPM.Note", "ipm.note"}) {
        char id[MAPI_MESSAGE_ID_SIZE] = "";
        EXPECT_EQ(find(session, nullptr, 0, id, type), SUCCESS_SUCCESS) << type;
        EXPECT_EQ(std::string(id), id_sent) << type;
    }
    char id[MAPI_MESSAGE_ID_SIZE] = "kept";
    EXPECT_EQ(find(session, nullptr, 0, id, "IPC.Microsoft Mail.Note"), MAPI_E_NO_MESSAGES);
    EXPECT_STREQ(id, "kept");
}

TEST_F(FindNextTest, NullOutputBufferIsRefused)
{
    MapiHandle session = logon();
    send_to_self(session, "x");
    EXPECT_EQ(mapi().MAPIFindNext(session, 0, nullptr, nullptr, 0, 0, nullptr), MAPI_E_FAILURE);
}

TEST_F(FindNextTest, MailDroppedByAnotherProgramAppearsWithinTheSession)
{
    MapiHandle session = logon();
    std::string mine = send_to_self(session, "mine");
    ASSERT_EQ(ids(session).size(), 1u);
    drop("from-elsewhere.eml", "From: Eve <eve@example.net>\r\nSubject: dropped\r\n\r\nHi\r\n");
    std::vector<std::string> found = ids(session);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], mine);
    EXPECT_EQ(text_of(read(session, found[1])->subject), "dropped");
    EXPECT_TRUE(folder_names(join(store(), "incoming")).empty());
}

TEST_F(FindNextTest, OtherSessionsChangesAreSeen)
{
    MapiHandle first = logon();
    MapiHandle second = logon();
    std::string a = send_to_self(first, "a");
    ASSERT_EQ(ids(second), (std::vector<std::string>{a}));
    std::string b = send_to_self(first, "b");
    EXPECT_EQ(ids(second), (std::vector<std::string>{a, b}));
    char id[MAPI_MESSAGE_ID_SIZE];
    std::strcpy(id, a.c_str());
    ASSERT_EQ(mapi().MAPIDeleteMail(first, 0, id, 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(ids(second), (std::vector<std::string>{b}));
}

TEST_F(FindNextTest, IdsStayTheSameAcrossSessionsAndLoads)
{
    MapiHandle session = logon();
    std::string a = send_to_self(session, "a");
    std::string b = send_to_self(session, "b");
    unload_provider();
    load_provider();
    EXPECT_EQ(ids(logon()), (std::vector<std::string>{a, b}));
}

} // namespace

// MAPIDeleteMail: the message goes, its ID is no longer valid, and
// anything else is refused without a change.
#include <cstring>

#include "mail_fixture.h"

namespace {

class DeleteMailTest : public ProviderFixture {
  protected:
    MapiULong remove(MapiHandle session, const std::string &id)
    {
        std::string text = id;
        return mapi().MAPIDeleteMail(session, 0, &text[0], 0, 0);
    }
};

// Which of three messages is removed: the first, the middle or the last.
class RemovedMessageTest : public DeleteMailTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(RemovedMessageTest, GoesWithItsIdAndTheOthersStayInOrder)
{
    MapiHandle session = logon();
    std::vector<std::string> sent;
    for (const char *subject : {"a", "b", "c"}) {
        sent.push_back(send_to_self(session, subject));
    }
    const std::string removed = sent[GetParam()];
    ASSERT_EQ(remove(session, removed), SUCCESS_SUCCESS);
    sent.erase(sent.begin() + static_cast<std::ptrdiff_t>(GetParam()));
    EXPECT_EQ(ids(session), sent);
    EXPECT_EQ(ids(session, MAPI_UNREAD_ONLY), sent);
    EXPECT_EQ(folder_names(inbox()).size(), 2u);
    EXPECT_EQ(read(session, removed).code, MAPI_E_INVALID_MESSAGE);
    char id[MAPI_MESSAGE_ID_SIZE] = "kept";
    std::string seed = removed;
    EXPECT_EQ(mapi().MAPIFindNext(session, 0, nullptr, &seed[0], 0, 0, id), MAPI_E_INVALID_MESSAGE);
    EXPECT_EQ(remove(session, removed), MAPI_E_INVALID_MESSAGE);
}

INSTANTIATE_TEST_SUITE_P(Positions, RemovedMessageTest, ::testing::Values(0u, 1u, 2u));

TEST_F(DeleteMailTest, ReadMessagesAreRemovedToo)
{
    MapiHandle session = logon();
    std::string a = send_to_self(session, "a");
    ASSERT_EQ(read(session, a, 0).code, SUCCESS_SUCCESS);
    EXPECT_EQ(remove(session, a), SUCCESS_SUCCESS);
    EXPECT_TRUE(folder_names(inbox()).empty());
}

TEST_F(DeleteMailTest, OtherTextsChangeNothing)
{
    MapiHandle session = logon();
    send_to_self(session, "stays");
    for (const char *id : {"", "0000000099-00000000", "../sequence", "*", "0000000001-00000000.unread"}) {
        EXPECT_EQ(remove(session, id), MAPI_E_INVALID_MESSAGE) << id;
    }
    EXPECT_EQ(mapi().MAPIDeleteMail(session, 0, nullptr, 0, 0), MAPI_E_INVALID_MESSAGE);
    EXPECT_EQ(ids(session).size(), 1u);
    EXPECT_TRUE(file_exists(join(store(), "sequence")));
}

} // namespace

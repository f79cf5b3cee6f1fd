// MAPIFreeBuffer releases exactly what the provider handed out, once.
#include "mail_fixture.h"

namespace {

class FreeBufferTest : public ProviderFixture {};

TEST_F(FreeBufferTest, NullIsFine)
{
    EXPECT_EQ(mapi().MAPIFreeBuffer(nullptr), SUCCESS_SUCCESS);
}

TEST_F(FreeBufferTest, ForeignPointersAreRefused)
{
    int local = 0;
    std::string text = "not ours";
    EXPECT_EQ(mapi().MAPIFreeBuffer(&local), MAPI_E_FAILURE);
    EXPECT_EQ(mapi().MAPIFreeBuffer(&text[0]), MAPI_E_FAILURE);
}

TEST_F(FreeBufferTest, EachBlockIsReleasedOnce)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "buffer", "text", {{make_file("f.bin", "x"), ""}});
    MapiMessage *message = nullptr;
    ASSERT_EQ(mapi().MAPIReadMail(session, 0, &id[0], MAPI_PEEK, 0, &message), SUCCESS_SUCCESS);
    // Pointers inside the block are not blocks of their own.
    EXPECT_EQ(mapi().MAPIFreeBuffer(message->lpszSubject), MAPI_E_FAILURE);
    EXPECT_EQ(mapi().MAPIFreeBuffer(message->lpOriginator), MAPI_E_FAILURE);
    EXPECT_EQ(mapi().MAPIFreeBuffer(message), SUCCESS_SUCCESS);
    EXPECT_EQ(mapi().MAPIFreeBuffer(message), MAPI_E_FAILURE) << "released twice";
}

TEST_F(FreeBufferTest, ManyReadsReleaseCleanly)
{
    MapiHandle session = logon();
    std::string id = send_to_self(session, "many");
    std::vector<MapiMessage *> messages;
    for (int i = 0; i < 200; ++i) {
        MapiMessage *message = nullptr;
        ASSERT_EQ(mapi().MAPIReadMail(session, 0, &id[0], MAPI_PEEK | MAPI_ENVELOPE_ONLY, 0, &message),
                  SUCCESS_SUCCESS);
        messages.push_back(message);
    }
    for (MapiMessage *message : messages) {
        EXPECT_STREQ(message->lpszSubject, "many");
        EXPECT_EQ(mapi().MAPIFreeBuffer(message), SUCCESS_SUCCESS);
    }
}

} // namespace

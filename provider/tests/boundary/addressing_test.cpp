// MAPIAddress, MAPIResolveName, MAPIDetails and MAPISendDocuments, none of
// which shows a dialog.
#include "mail_fixture.h"

namespace {

class AddressingTest : public ProviderFixture {
  protected:
    struct Chosen {
        MapiULong code = 0;
        std::vector<test_provider::OwnedRecip> recipients;
    };

    Chosen address(MapiHandle session, MapiULong edit_fields, const std::vector<OutRecipient> &initial)
    {
        Outgoing holder;
        holder.recipients = initial;
        OutgoingRecord record(holder);
        MapiMessage *view = record.get();
        Chosen chosen;
        MapiULong count = 12345;
        MapiRecipDesc *records = reinterpret_cast<MapiRecipDesc *>(&count);
        chosen.code = mapi().MAPIAddress(session, 0, const_cast<char *>("Zorva Addressing"), edit_fields, nullptr,
                                         view->nRecipCount, view->lpRecips, 0, 0, &count, &records);
        if (chosen.code != SUCCESS_SUCCESS) {
            EXPECT_EQ(records, nullptr) << "nothing is handed out on an error";
            EXPECT_EQ(count, 0u);
            return chosen;
        }
        EXPECT_NE(records, nullptr) << "even no recipients come in a block to release";
        for (MapiULong i = 0; i < count; ++i) {
            chosen.recipients.push_back(test_provider::OwnedRecip::from(records[i]));
        }
        EXPECT_EQ(mapi().MAPIFreeBuffer(records), SUCCESS_SUCCESS);
        return chosen;
    }
};

TEST_F(AddressingTest, InitialRecipientsComeBackResolvedAndGrouped)
{
    MapiHandle session = logon();
    Chosen chosen = address(session, 3,
                            {{MAPI_BCC, "Dora", ""},
                             {MAPI_CC, "", "SMTP:bob@example.com"},
                             {MAPI_TO, "Carl Dee", ""},
                             {MAPI_TO, "Free Form", "free@example.net"}});
    ASSERT_EQ(chosen.code, SUCCESS_SUCCESS);
    ASSERT_EQ(chosen.recipients.size(), 4u);
    const std::vector<std::tuple<MapiULong, std::string, std::string>> expected = {
        {MAPI_TO, "Carl Dee", "carl@example.org"},
        {MAPI_TO, "Free Form", "free@example.net"},
        {MAPI_CC, "Bob Roe", "bob@example.com"},
        {MAPI_BCC, "Dora", "dora@example.net"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(chosen.recipients[i].recip_class, std::get<0>(expected[i])) << i;
        EXPECT_EQ(text_of(chosen.recipients[i].name), std::get<1>(expected[i])) << i;
        EXPECT_EQ(text_of(chosen.recipients[i].address), std::get<2>(expected[i])) << i;
        EXPECT_GT(chosen.recipients[i].eid.size(), 0u) << i;
    }
}

TEST_F(AddressingTest, ResolvedRecordsCanBeSentAsTheyAre)
{
    MapiHandle session = logon();
    Chosen chosen = address(session, 3, {{MAPI_TO, "Ann Lee", ""}});
    ASSERT_EQ(chosen.recipients.size(), 1u);
    test_provider::OwnedMessage message;
    message.subject = "via the address book";
    chosen.recipients[0].address.reset(); // the entry identifier alone is enough
    message.recips = chosen.recipients;
    EXPECT_EQ(mapi().MAPISendMail(session, 0, message.view(), 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(ids(session).size(), 1u);
}

TEST_F(AddressingTest, NoInitialRecipientsGiveAnEmptyChoice)
{
    MapiHandle session = logon();
    Chosen chosen = address(session, 3, {});
    EXPECT_EQ(chosen.code, SUCCESS_SUCCESS);
    EXPECT_TRUE(chosen.recipients.empty());
    Chosen browse = address(session, 0, {{MAPI_TO, "Ann Lee", ""}});
    EXPECT_EQ(browse.code, SUCCESS_SUCCESS);
    EXPECT_TRUE(browse.recipients.empty()) << "without edit fields nothing is chosen";
}

struct BadAddress {
    const char *label;
    MapiULong edit_fields;
    std::vector<OutRecipient> initial;
    MapiULong expected;
};

const BadAddress kBadAddresses[] = {
    {"five edit fields", 5, {}, MAPI_E_INVALID_EDITFIELDS},
    {"unknown name", 3, {{MAPI_TO, "Ann Lee", ""}, {MAPI_TO, "Nobody Known", ""}}, MAPI_E_UNKNOWN_RECIPIENT},
    {"ambiguous name", 3, {{MAPI_TO, "carl", ""}}, MAPI_E_AMBIGUOUS_RECIPIENT},
    {"bad class", 3, {{9, "Ann Lee", ""}}, MAPI_E_BAD_RECIPTYPE},
};

class BadAddressTest : public AddressingTest, public ::testing::WithParamInterface<BadAddress> {};

TEST_P(BadAddressTest, HandsOutNothing)
{
    MapiHandle session = logon();
    EXPECT_EQ(address(session, GetParam().edit_fields, GetParam().initial).code, GetParam().expected)
        << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(Input, BadAddressTest, ::testing::ValuesIn(kBadAddresses));

struct NameCase {
    const char *name;
    MapiULong expected;
    const char *display;
    const char *address;
};

const NameCase kNames[] = {
    {"Bob Roe", SUCCESS_SUCCESS, "Bob Roe", "bob@example.com"},
    {"bob roe", SUCCESS_SUCCESS, "Bob Roe", "bob@example.com"},
    {"carla", SUCCESS_SUCCESS, "Carla Fox", "carla@example.org"},
    {"dora@example.net", SUCCESS_SUCCESS, "Dora", "dora@example.net"},
    {"SMTP:new@example.com", SUCCESS_SUCCESS, "new@example.com", "new@example.com"},
    {"Car", MAPI_E_AMBIGUOUS_RECIPIENT, "", ""},
    {"Nobody", MAPI_E_UNKNOWN_RECIPIENT, "", ""},
    {"", MAPI_E_UNKNOWN_RECIPIENT, "", ""},
};

class ResolveNameTest : public AddressingTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ResolveNameTest, FindsOneEntry)
{
    const NameCase &c = GetParam();
    MapiHandle session = logon();
    std::string name = c.name;
    MapiRecipDesc *found = reinterpret_cast<MapiRecipDesc *>(&session);
    ASSERT_EQ(mapi().MAPIResolveName(session, 0, &name[0], 0, 0, &found), c.expected) << c.name;
    if (c.expected != SUCCESS_SUCCESS) {
        EXPECT_EQ(found, nullptr);
        return;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->ulRecipClass, MAPI_TO);
    EXPECT_STREQ(found->lpszName, c.display);
    EXPECT_STREQ(found->lpszAddress, c.address);
    EXPECT_EQ(mapi().MAPIFreeBuffer(found), SUCCESS_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Names, ResolveNameTest, ::testing::ValuesIn(kNames));

TEST_F(AddressingTest, DialogOnlyFunctionsAreNotSupported)
{
    MapiHandle session = logon();
    MapiRecipDesc recipient{0, MAPI_TO, const_cast<char *>("Ann"), const_cast<char *>("ann@example.com"), 0, nullptr};
    EXPECT_EQ(mapi().MAPIDetails(session, 0, &recipient, 0, 0), MAPI_E_NOT_SUPPORTED);
    EXPECT_EQ(mapi().MAPIDetails(session, 0, nullptr, 0, 0), MAPI_E_INVALID_RECIPS);
    char files[] = "a.txt;b.txt";
    EXPECT_EQ(mapi().MAPISendDocuments(0, const_cast<char *>(";"), files, nullptr, 0), MAPI_E_NOT_SUPPORTED);
    EXPECT_TRUE(folder_names(outbox()).empty());
}

} // namespace

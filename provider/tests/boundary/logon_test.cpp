// MAPILogon and MAPILogoff: profiles from the configuration file, passwords,
// real sessions, and every function's answer to a session it does not know.
#include "mail_fixture.h"

namespace {

struct LogonCase {
    const char *label;
    const char *profile;
    const char *password;
    MapiULong expected;
};

const LogonCase kLogonCases[] = {
    {"known profile", "ann", "", SUCCESS_SUCCESS},
    {"profile names ignore case", "ANN", "", SUCCESS_SUCCESS},
    {"any password where none is set", "ann", "whatever", SUCCESS_SUCCESS},
    {"right password", "bob", "secret", SUCCESS_SUCCESS},
    {"wrong password", "bob", "Secret", MAPI_E_LOGIN_FAILURE},
    {"missing password", "bob", "", MAPI_E_LOGIN_FAILURE},
    {"unknown profile", "nobody", "", MAPI_E_LOGIN_FAILURE},
    {"no profile and no default", "", "", MAPI_E_LOGIN_FAILURE},
};

class LogonTest : public ProviderFixture, public ::testing::WithParamInterface<LogonCase> {};

TEST_P(LogonTest, AnswersAsTheProfileRequires)
{
    const LogonCase &c = GetParam();
    MapiHandle session = 0;
    MapiULong result = try_logon(c.profile, c.password, session);
    EXPECT_EQ(result, c.expected) << c.label;
    if (result == SUCCESS_SUCCESS) {
        EXPECT_NE(session, 0u);
        logoff(session);
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, LogonTest, ::testing::ValuesIn(kLogonCases));

class SessionTest : public ProviderFixture {};

TEST_F(SessionTest, NullProfileAndPasswordPointersAreEmptyTexts)
{
    MapiHandle session = 0;
    EXPECT_EQ(mapi().MAPILogon(0, nullptr, nullptr, MAPI_NEW_SESSION, 0, &session), MAPI_E_LOGIN_FAILURE);
    EXPECT_EQ(mapi().MAPILogon(0, nullptr, nullptr, MAPI_NEW_SESSION, 0, nullptr), MAPI_E_FAILURE);
}

TEST_F(SessionTest, OverlongProfileNameIsRefused)
{
    MapiHandle session = 0;
    EXPECT_EQ(try_logon(std::string(300, 'a'), "", session), MAPI_E_LOGIN_FAILURE);
}

TEST_F(SessionTest, MissingConfigurationRefusesEveryLogon)
{
    std::remove(config_path_.c_str());
    MapiHandle session = 0;
    EXPECT_EQ(try_logon("ann", "", session), MAPI_E_LOGIN_FAILURE);
}

TEST_F(SessionTest, DamagedConfigurationRefusesEveryLogon)
{
    write_config("[profile ann]\nstore = store-ann\naddress = ann@example.com\nthis line has no equals sign\n");
    MapiHandle session = 0;
    EXPECT_EQ(try_logon("ann", "", session), MAPI_E_LOGIN_FAILURE);
    write_config("[profile ann]\nname = Ann\naddress = ann@example.com\n"); // no store
    EXPECT_EQ(try_logon("ann", "", session), MAPI_E_LOGIN_FAILURE);
}

TEST_F(SessionTest, EmptyProfileNameTakesTheDefaultProfile)
{
    write_config("default_profile = ann\n" + default_config());
    MapiHandle session = 0;
    ASSERT_EQ(try_logon("", "", session), SUCCESS_SUCCESS);
    send_to_self(session, "via the default profile");
    EXPECT_EQ(folder_names(inbox("ann")).size(), 1u);
    logoff(session);
}

TEST_F(SessionTest, LogonCreatesTheStoreFolders)
{
    logon("ann");
    for (const char *folder : {"inbox", "outbox", "incoming", "tmp"}) {
        EXPECT_TRUE(file_exists(join(store("ann"), folder))) << folder;
    }
}

TEST_F(SessionTest, NewSessionsAreDistinctAndEachLogsOffOnce)
{
    MapiHandle first = logon("ann");
    MapiHandle second = logon("ann");
    EXPECT_NE(first, second);
    logoff(first);
    EXPECT_EQ(mapi().MAPILogoff(first, 0, 0, 0), MAPI_E_INVALID_SESSION);
    // The other session still works.
    EXPECT_EQ(ids(second).size(), 0u);
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    EXPECT_EQ(mapi().MAPIFindNext(second, 0, nullptr, nullptr, 0, 0, id), MAPI_E_NO_MESSAGES);
}

TEST_F(SessionTest, WithoutNewSessionAnOpenSessionIsShared)
{
    MapiHandle first = logon("ann");
    MapiHandle shared = 0;
    ASSERT_EQ(try_logon("ann", "", shared, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(shared, first);
    // One logoff per logon: the session lives until the last.
    EXPECT_EQ(mapi().MAPILogoff(shared, 0, 0, 0), SUCCESS_SUCCESS);
    char id[MAPI_MESSAGE_ID_SIZE] = "";
    EXPECT_EQ(mapi().MAPIFindNext(first, 0, nullptr, nullptr, 0, 0, id), MAPI_E_NO_MESSAGES);
}

// Every function that takes a session, called with one that does not exist.
struct SessionCall {
    const char *function;
    MapiULong (*call)(const ProviderFunctions &, MapiHandle);
};

const SessionCall kSessionCalls[] = {
    {"MAPILogoff", [](const ProviderFunctions &f, MapiHandle s) { return f.MAPILogoff(s, 0, 0, 0); }},
    {"MAPISendMail",
     [](const ProviderFunctions &f, MapiHandle s) {
         MapiRecipDesc to{0, MAPI_TO, const_cast<char *>("Ann"), const_cast<char *>("ann@example.com"), 0, nullptr};
         MapiMessage message{};
         message.nRecipCount = 1;
         message.lpRecips = &to;
         return f.MAPISendMail(s, 0, &message, 0, 0);
     }},
    {"MAPIFindNext",
     [](const ProviderFunctions &f, MapiHandle s) {
         char id[MAPI_MESSAGE_ID_SIZE] = "";
         return f.MAPIFindNext(s, 0, nullptr, id, 0, 0, id);
     }},
    {"MAPIReadMail",
     [](const ProviderFunctions &f, MapiHandle s) {
         char id[] = "0000000001-00000000";
         MapiMessage *message = nullptr;
         return f.MAPIReadMail(s, 0, id, 0, 0, &message);
     }},
    {"MAPISaveMail",
     [](const ProviderFunctions &f, MapiHandle s) {
         MapiMessage message{};
         char id[MAPI_MESSAGE_ID_SIZE] = "";
         return f.MAPISaveMail(s, 0, &message, 0, 0, id);
     }},
    {"MAPIDeleteMail",
     [](const ProviderFunctions &f, MapiHandle s) {
         char id[] = "0000000001-00000000";
         return f.MAPIDeleteMail(s, 0, id, 0, 0);
     }},
    {"MAPIAddress",
     [](const ProviderFunctions &f, MapiHandle s) {
         MapiULong count = 0;
         MapiRecipDesc *chosen = nullptr;
         return f.MAPIAddress(s, 0, nullptr, 3, nullptr, 0, nullptr, 0, 0, &count, &chosen);
     }},
    {"MAPIDetails",
     [](const ProviderFunctions &f, MapiHandle s) {
         MapiRecipDesc recipient{};
         return f.MAPIDetails(s, 0, &recipient, 0, 0);
     }},
    {"MAPIResolveName",
     [](const ProviderFunctions &f, MapiHandle s) {
         MapiRecipDesc *found = nullptr;
         return f.MAPIResolveName(s, 0, const_cast<char *>("Ann"), 0, 0, &found);
     }},
};

class UnknownSessionTest : public ProviderFixture, public ::testing::WithParamInterface<SessionCall> {};

TEST_P(UnknownSessionTest, IsAnInvalidSession)
{
    MapiHandle real = logon("ann");
    const MapiHandle kNeverHandedOut = real + 0x7777;
    EXPECT_EQ(GetParam().call(mapi(), kNeverHandedOut), MAPI_E_INVALID_SESSION) << GetParam().function;
    EXPECT_TRUE(folder_names(inbox()).empty()) << GetParam().function << " changed the store";
}

INSTANTIATE_TEST_SUITE_P(EveryFunction, UnknownSessionTest, ::testing::ValuesIn(kSessionCalls),
                         [](const ::testing::TestParamInfo<SessionCall> &param_info) { return std::string(param_info.param.function); });

// Session 0 means "log on for me" where the interface allows it; only a
// default profile without a password can be used so.
TEST_F(SessionTest, SessionZeroNeedsADefaultProfile)
{
    for (const SessionCall &call : kSessionCalls) {
        MapiULong result = call.call(mapi(), 0);
        std::string name = call.function;
        if (name == "MAPIFindNext" || name == "MAPIReadMail" || name == "MAPIDeleteMail" || name == "MAPILogoff") {
            EXPECT_EQ(result, MAPI_E_INVALID_SESSION) << name;
        } else {
            EXPECT_EQ(result, MAPI_E_LOGIN_FAILURE) << name;
        }
    }
}

TEST_F(SessionTest, SessionZeroSendsThroughTheDefaultProfile)
{
    write_config("default_profile = ann\n" + default_config());
    Outgoing message;
    message.subject = "implicit";
    message.recipients = {{MAPI_TO, "", "ann@example.com"}};
    EXPECT_EQ(send(0, message), SUCCESS_SUCCESS);
    EXPECT_EQ(folder_names(inbox("ann")).size(), 1u);
}

} // namespace

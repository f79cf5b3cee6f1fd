// The frame every mail function runs in: bind, log on, work, log off,
// release; and the texts and results of its failures.
#include <cstring>

#include "provider_fixture.h"

namespace {

const std::string kBindText = "Unable to initialise MAPI services. Error loading the library\n";
const std::string kLogonText = "Unable to Login to the Mail Server\n";
const std::string kHeader = "\nContents of the INBOX are as follows\n\n\n";

struct MailFunction {
    const char *name;
    std::string printed_first; // INBOX's header comes before everything
    std::string logoff_text;
    int (*call)(const ZorvaLibrary &, const std::string &profile, const std::string &password);
};

int call_sendmail(const ZorvaLibrary &lib, const std::string &profile, const std::string &password)
{
    HostText p(profile), w(password), to("TO|Ann|ann@example.com"), subject("s"), note("n"),
        files("NULL");
    return lib.SENDMAIL(p.get(), w.get(), to.get(), subject.get(), note.get(), files.get());
}

int call_getmail(const ZorvaLibrary &lib, const std::string &profile, const std::string &password)
{
    static char id[512], report[32768];
    std::strcpy(id, "NULL");
    HostText p(profile), w(password), unused(""), mode("P"), unread(""), subject("");
    return lib.GETMAIL(id, p.get(), w.get(), unused.get(), report, unused.get(), mode.get(),
                       unread.get(), subject.get());
}

int call_inbox(const ZorvaLibrary &lib, const std::string &profile, const std::string &password)
{
    HostText p(profile), w(password);
    return lib.INBOX(p.get(), w.get());
}

int call_addressbook(const ZorvaLibrary &lib, const std::string &profile,
                     const std::string &password)
{
    static char out[4096];
    HostText p(profile), w(password), initial("NULL");
    return lib.ADDRESSBOOK(p.get(), w.get(), initial.get(), out);
}

const MailFunction kMailFunctions[] = {
    {"SENDMAIL", "", "Unable to log off mail server\n", call_sendmail},
    {"GETMAIL", "", "Unable to log off mail server\n", call_getmail},
    {"INBOX", kHeader, "Unable to log off mail server\n", call_inbox},
    {"ADDRESSBOOK", "", "Unable to logoff Mail Server.\n", call_addressbook},
};

void PrintTo(const MailFunction &function, std::ostream *out) { *out << function.name; }

class FrameTest : public ProviderTest, public ::testing::WithParamInterface<MailFunction> {
  protected:
    CallResult run(const std::string &profile = "profile", const std::string &password = "secret")
    {
        return call_capturing([&] { return GetParam().call(lib, profile, password); });
    }
};

TEST_P(FrameTest, NoProviderFailsBinding)
{
    host_platform::select_provider(host_platform::Provider::None);
    CallResult r = run();
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.printed, GetParam().printed_first + kBindText);
    EXPECT_EQ(tp_loads(), 0);
}

// MAPIDetails is never called, yet a provider without it cannot be bound;
// the provider is released again.
TEST_P(FrameTest, ProviderWithoutDetailsFailsBindingAndIsReleased)
{
    host_platform::select_provider(host_platform::Provider::WithoutDetails);
    CallResult r = run();
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.printed, GetParam().printed_first + kBindText);
    EXPECT_EQ(tp_loads(), 1);
    EXPECT_EQ(tp_unloads(), 1);
    EXPECT_EQ(tp_log_size(), 0) << "a provider function was called";
}

TEST_P(FrameTest, LogonFailureReleasesTheProvider)
{
    tp_fail("MAPILogon", MAPI_E_LOGIN_FAILURE, 0);
    CallResult r = run();
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.printed, GetParam().printed_first + kLogonText);
    EXPECT_EQ(tp_loads(), 1);
    EXPECT_EQ(tp_unloads(), 1);
    EXPECT_EQ(tp_call_count("MAPILogoff"), 0);
}

TEST_P(FrameTest, LogonGetsNoWindowTheTextsUnchangedAndFlagsThree)
{
    for (auto [profile, password] : {std::pair<std::string, std::string>{"Ann Lee", "pa ss|w"},
                                     {"", ""},
                                     {"NULL", "null"}}) {
        tp_reset();
        run(profile, password);
        auto logons = provider_calls("MAPILogon");
        ASSERT_EQ(logons.size(), 1u);
        EXPECT_EQ(logons[0], "MAPILogon(0,\"" + profile + "\",\"" + password + "\",0x3,0)");
    }
}

TEST_P(FrameTest, LogsOffTheSessionItOpened)
{
    run();
    auto logoffs = provider_calls("MAPILogoff");
    ASSERT_EQ(logoffs.size(), 1u);
    EXPECT_EQ(logoffs[0], "MAPILogoff(0x5E55,0,0x0,0)");
    EXPECT_EQ(tp_sessions_opened(), 1);
}

TEST_P(FrameTest, LogoffFailurePrintsItsTextAndReturnsMinusOne)
{
    tp_fail("MAPILogoff", MAPI_E_FAILURE, 0);
    CallResult r = run();
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.printed, GetParam().printed_first + GetParam().logoff_text);
    EXPECT_EQ(tp_unloads(), 1);
}

TEST_P(FrameTest, EachCallLoadsAndReleasesTheProviderOnce)
{
    run();
    run();
    EXPECT_EQ(tp_loads(), 2);
    EXPECT_EQ(tp_unloads(), 2);
    EXPECT_EQ(tp_call_count("MAPILogon"), 2);
    EXPECT_EQ(tp_call_count("MAPILogoff"), 2);
}

INSTANTIATE_TEST_SUITE_P(MailFunctions, FrameTest, ::testing::ValuesIn(kMailFunctions),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

} // namespace

// zorva-mail through the real library against the test provider: the list
// texts it builds reach the provider as the right records, the results are
// shown in words, the exit status follows them, and what it refuses is
// never passed on.
#include <cstdio>
#include <fstream>
#include <functional>

#include "exit_codes.h"
#include "provider_fixture.h"
#include "zorva_mail_run.h"

using zorva_cli::kExitExportFailed;
using zorva_cli::kExitNoLibrary;
using zorva_cli::kExitSuccess;
using zorva_cli::kExitUsage;

namespace {

const std::string kBindText = "Unable to initialise MAPI services. Error loading the library\n";

std::string text_of(const char *text) { return text != nullptr ? text : "(null)"; }

// A message in the test provider's store.
void store_message(const char *id, const char *subject, bool unread = true)
{
    MapiRecipDesc from{0, MAPI_ORIG, const_cast<char *>("Ann Lee"),
                       const_cast<char *>("SMTP:ann@example.com"), 0, nullptr};
    MapiMessage message{};
    message.lpszSubject = const_cast<char *>(subject);
    message.lpszNoteText = const_cast<char *>("Hello.\nSecond line.");
    message.lpszDateReceived = const_cast<char *>("2024/03/05 14:07");
    message.lpOriginator = &from;
    tp_store_add(id, &message, unread ? 1 : 0);
}

std::vector<std::string> store_ids()
{
    std::vector<std::string> ids;
    for (int i = 0; i < tp_store_size(); ++i) {
        ids.push_back(tp_store_id(i));
    }
    return ids;
}

size_t occurrences(const std::string &text, const std::string &part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

using ZorvaMailTest = ProviderTest;

// ---- What send builds reaches the provider as records ----

struct ExpectedRecipient {
    MapiULong recipient_class;
    const char *name;
    const char *address;
};

struct SendCase {
    const char *what;
    std::vector<std::string> args;
    std::vector<ExpectedRecipient> recipients;
    std::vector<const char *> attachments;
};

const SendCase kSendCases[] = {
    {"one recipient with a name",
     {"--to", "Ann Lee <ann@example.com>"},
     {{MAPI_TO, "Ann Lee", "ann@example.com"}},
     {}},
    {"every class, in command-line order",
     {"--cc", "Bob <bob@example.com>", "--to", "ann@example.com", "--bcc", "<cy@example.com>"},
     {{MAPI_CC, "Bob", "bob@example.com"},
      {MAPI_TO, "ann@example.com", "ann@example.com"},
      {MAPI_BCC, "", "cy@example.com"}},
     {}},
    {"attachments in order",
     {"--to", "ann@example.com", "--attach", "report.txt", "--attach", "C:\\data\\b.bin"},
     {{MAPI_TO, "ann@example.com", "ann@example.com"}},
     {"report.txt", "C:\\data\\b.bin"}},
    {"no recipients", {"--attach", "a.txt"}, {}, {"a.txt"}},
    {"a name of 79 characters",
     {"--to", std::string(79, 'n') + " <ann@example.com>"},
     {{MAPI_TO, "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn",
       "ann@example.com"}},
     {}},
};

void PrintTo(const SendCase &c, std::ostream *os) { *os << c.what; }

class SendRecords : public ZorvaMailTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(SendRecords, ReachTheProvider)
{
    const SendCase &c = GetParam();
    std::vector<std::string> args{"send", "--subject", "Quarterly | figures", "--text", "Body"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ZorvaMailRun run = run_zorva_mail(args);
    ASSERT_EQ(tp_sent_count(), 1) << c.what << "\n" << run.out << run.err;
    EXPECT_EQ(run.status, kExitSuccess) << run.out;
    EXPECT_TRUE(contains(run.out, "SENDMAIL returned 0: sent\n")) << run.out;

    const MapiMessage *sent = tp_sent_message(0);
    EXPECT_EQ(text_of(sent->lpszSubject), "Quarterly | figures");
    EXPECT_EQ(text_of(sent->lpszNoteText), "Body");
    ASSERT_EQ(sent->nRecipCount, c.recipients.size()) << c.what;
    for (size_t i = 0; i < c.recipients.size(); ++i) {
        const MapiRecipDesc &r = sent->lpRecips[i];
        EXPECT_EQ(r.ulRecipClass, c.recipients[i].recipient_class) << c.what << " #" << i;
        EXPECT_EQ(text_of(r.lpszName), c.recipients[i].name) << c.what << " #" << i;
        EXPECT_EQ(text_of(r.lpszAddress), c.recipients[i].address) << c.what << " #" << i;
    }
    ASSERT_EQ(sent->nFileCount, c.attachments.size()) << c.what;
    for (size_t i = 0; i < c.attachments.size(); ++i) {
        EXPECT_EQ(text_of(sent->lpFiles[i].lpszPathName), c.attachments[i]) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SendRecords, ::testing::ValuesIn(kSendCases));

TEST_F(ZorvaMailTest, TwentySixRecipientsAllArrive)
{
    std::vector<std::string> args{"send", "--subject", "many"};
    for (int i = 0; i < 26; ++i) {
        args.push_back("--bcc");
        args.push_back("R" + std::to_string(i) + " <r" + std::to_string(i) + "@example.com>");
    }
    ZorvaMailRun run = run_zorva_mail(args);
    ASSERT_EQ(tp_sent_count(), 1) << run.out << run.err;
    const MapiMessage *sent = tp_sent_message(0);
    ASSERT_EQ(sent->nRecipCount, 26u);
    EXPECT_EQ(text_of(sent->lpRecips[25].lpszName), "R25");
    EXPECT_EQ(text_of(sent->lpRecips[25].lpszAddress), "r25@example.com");
    EXPECT_EQ(sent->lpRecips[25].ulRecipClass, MAPI_BCC);
}

// CR LF line ends of a file become LF before SENDMAIL, which would make
// each of them two line feeds.
TEST_F(ZorvaMailTest, NoteTextFromAFile)
{
    const char *path = "zorva_mail_note_text.txt";
    {
        std::ofstream file(path, std::ios::binary);
        file << "First line\r\nSecond line\r\n\r\nlone\rCR\n";
    }
    ZorvaMailRun run = run_zorva_mail({"send", "--to", "ann@example.com", "--text-file", path});
    std::remove(path);
    ASSERT_EQ(tp_sent_count(), 1) << run.out << run.err;
    EXPECT_EQ(text_of(tp_sent_message(0)->lpszNoteText),
              "First line\nSecond line\n\nlone\nCR\n");
}

// ---- Refused before anything is loaded ----

struct RefusalCase {
    const char *what;
    std::vector<std::string> args;
    const char *error_mentions;
};

const RefusalCase kRefusals[] = {
    {"a recipient containing the separator", {"send", "--to", "Ann <ann|x@example.com>"}, "\"|\""},
    {"a name containing the separator", {"send", "--cc", "A|B <b@example.com>"}, "\"|\""},
    {"an attachment containing the separator", {"send", "--attach", "a.txt|b.txt"}, "\"|\""},
    {"an initial recipient containing the separator",
     {"addressbook", "--to", "x|y"}, "\"|\""},
    {"a name of 80 characters",
     {"send", "--to", std::string(80, 'n') + " <a@example.com>"}, "at most 79"},
    {"an attachment path of 80 characters", {"send", "--attach", std::string(80, 'p')},
     "at most 79"},
    {"a recipient without an address", {"send", "--to", "Ann <>"}, "no address"},
    {"a missing note text file", {"send", "--text-file", "no/such/note.txt"}, "cannot read"},
    {"--text with --text-file", {"send", "--text", "a", "--text-file", "b"}, "exclude"},
    {"--peek with --mark", {"get", "--peek", "--mark"}, "exclude"},
    {"an option of another command", {"inbox", "--to", "ann@example.com"}, "does not go with"},
    {"an unknown option", {"get", "--everything"}, "unknown option"},
    {"an unknown command", {"fetch"}, "unknown command"},
    {"update without a subject", {"update"}, "new subject"},
    {"a value missing", {"get", "--after"}, "needs a value"},
    {"a message ID of 512 characters", {"get", "--after", std::string(512, 'i')}, "511"},
};

void PrintTo(const RefusalCase &c, std::ostream *os) { *os << c.what; }

class Refused : public ZorvaMailTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refused, NothingIsLoadedOrSent)
{
    const RefusalCase &c = GetParam();
    ZorvaMailRun run = run_zorva_mail(c.args);
    EXPECT_EQ(run.status, kExitUsage) << c.what;
    EXPECT_TRUE(contains(run.err, c.error_mentions)) << c.what << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.what;
    EXPECT_EQ(tp_loads(), 0) << c.what;
    EXPECT_EQ(tp_sent_count(), 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, Refused, ::testing::ValuesIn(kRefusals));

TEST(ZorvaMailLibrary, MissingLibraryIsReportedWithWhereToPutIt)
{
    std::vector<std::string> args{"--library", "no/such/zorva_mapi", "version"};
    std::FILE *err = std::tmpfile();
    CallResult r =
        call_capturing([&] { return zorva_cli::run_cli(args, zorva_cli::CliSettings{}, stdout, err); });
    std::rewind(err);
    char text[1024] = "";
    size_t got = std::fread(text, 1, sizeof text - 1, err);
    std::fclose(err);
    std::string err_text(text, got);
    EXPECT_EQ(r.result, kExitNoLibrary);
    EXPECT_TRUE(contains(err_text, "cannot use no/such/zorva_mapi")) << err_text;
    EXPECT_TRUE(contains(err_text, "--library or ZORVA_MAPI_LIBRARY")) << err_text;
}

// ---- Results in words and exit status ----

struct ResultCase {
    const char *what;
    std::function<void()> script;
    std::vector<std::string> args;
    std::vector<std::string> printed; // each in the output, in this order
    int status;
};

const ResultCase kResults[] = {
    {"no provider: binding fails",
     [] { host_platform::select_provider(host_platform::Provider::None); },
     {"inbox"},
     {kBindText, "INBOX returned -1: failed"},
     kExitExportFailed},
    {"logon refused",
     [] { tp_fail("MAPILogon", MAPI_E_LOGIN_FAILURE, 0); },
     {"send", "--to", "ann@example.com"},
     {"Unable to Login to the Mail Server\n", "SENDMAIL returned -1: not sent"},
     kExitExportFailed},
    {"sent", [] {}, {"send", "--to", "ann@example.com"}, {"SENDMAIL returned 0: sent\n"}, kExitSuccess},
    {"send refused by the mail system",
     [] { tp_fail("MAPISendMail", MAPI_E_UNKNOWN_RECIPIENT, 0); },
     {"send", "--to", "nobody"},
     {"Mail not sent 14 \n", "SENDMAIL returned -1: not sent"},
     kExitExportFailed},
    {"inbox listed",
     [] { store_message("m1", "First"); },
     {"inbox"},
     {"m1\t2024/03/05 14:07\tFirst\n", "INBOX returned 0: listed\n"},
     kExitSuccess},
    {"get on an empty inbox",
     [] {},
     {"get"},
     {"GETMAIL returned 1: no message found, or the read failed\n", "no message found\n"},
     kExitExportFailed},
    {"get a message",
     [] { store_message("m1", "First"); },
     {"get"},
     {"GETMAIL returned 0: done\n", "message ID: m1\nMAILMESSAGE\n"},
     kExitSuccess},
    {"get whose read fails",
     [] {
         store_message("m1", "First");
         tp_fail("MAPIReadMail", MAPI_E_FAILURE, 0);
     },
     {"get"},
     {"ReadMail Returned the error 2\n", "GETMAIL returned 1: no message found, or the read failed\n",
      "message ID: m1 (its read failed)\n"},
     kExitExportFailed},
    {"delete refused",
     [] {
         store_message("m1", "First");
         tp_fail("MAPIDeleteMail", MAPI_E_FAILURE, 0);
     },
     {"delete"},
     {"GETMAIL returned -2: delete failed\n"},
     kExitExportFailed},
    {"save refused",
     [] {
         store_message("m1", "First");
         tp_fail("MAPISaveMail", MAPI_E_FAILURE, 0);
     },
     {"update", "New subject"},
     {"GETMAIL returned -9: save failed\n"},
     kExitExportFailed},
    {"logoff refused",
     [] { tp_fail("MAPILogoff", MAPI_E_FAILURE, 0); },
     {"get"},
     {"Unable to log off mail server\n", "GETMAIL returned -1: failed"},
     kExitExportFailed},
    {"address book cancelled",
     [] { tp_fail("MAPIAddress", MAPI_USER_ABORT, 0); },
     {"addressbook"},
     {"ADDRESSBOOK returned 1: the address book dialog failed or was cancelled\n"},
     kExitExportFailed},
    {"version", [] {}, {"version"}, {"version: 1.06 01/12/2000 KXB\n"}, kExitSuccess},
};

void PrintTo(const ResultCase &c, std::ostream *os) { *os << c.what; }

class Results : public ZorvaMailTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(Results, InWordsWithTheExitStatus)
{
    const ResultCase &c = GetParam();
    c.script();
    ZorvaMailRun run = run_zorva_mail(c.args);
    EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.out << run.err;
    size_t at = 0;
    for (const std::string &part : c.printed) {
        size_t found = run.out.find(part, at);
        ASSERT_NE(found, std::string::npos) << c.what << ": expected \"" << part << "\" in\n"
                                            << run.out;
        at = found + part.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Results, ::testing::ValuesIn(kResults));

// ---- The call as the host makes it ----

TEST_F(ZorvaMailTest, ProfileAndPasswordReachTheLogonButThePasswordIsNotShown)
{
    ZorvaMailRun run = run_zorva_mail({"inbox", "--profile", "Demo Profile", "--password", "s3cret"});
    std::vector<std::string> logons = provider_calls("MAPILogon");
    ASSERT_EQ(logons.size(), 1u) << run.out;
    EXPECT_TRUE(contains(logons[0], "\"Demo Profile\",\"s3cret\"")) << logons[0];
    EXPECT_TRUE(contains(run.out, "> INBOX(profile \"Demo Profile\", password (6 characters))"))
        << run.out;
    EXPECT_FALSE(contains(run.out, "s3cret")) << run.out;
}

TEST_F(ZorvaMailTest, ProfileAndPasswordFromTheEnvironment)
{
    zorva_cli::CliSettings settings;
    settings.profile = "From Environment";
    settings.password = "pw";
    run_zorva_mail({"inbox"}, settings);
    run_zorva_mail({"inbox", "--profile", "Given"}, settings);
    std::vector<std::string> logons = provider_calls("MAPILogon");
    ASSERT_EQ(logons.size(), 2u);
    EXPECT_TRUE(contains(logons[0], "\"From Environment\",\"pw\"")) << logons[0];
    EXPECT_TRUE(contains(logons[1], "\"Given\",\"pw\"")) << logons[1];
}

TEST_F(ZorvaMailTest, GetPeeksByDefaultAndMarksOnRequest)
{
    store_message("m1", "First");
    ZorvaMailRun peek = run_zorva_mail({"get"});
    EXPECT_TRUE(contains(peek.out, "mode \"P\"")) << peek.out;
    EXPECT_TRUE(contains(peek.out, "message ID: m1\nMAILMESSAGE\nFrom:Ann Lee\n"
                                   "Address:SMTP:ann@example.com\nDate Received:2024/03/05 14:07\n"
                                   "Subject:First\nMessage:Hello.\nSecond line.\n"))
        << peek.out;
    EXPECT_EQ(tp_store_unread(0), 1);

    ZorvaMailRun mark = run_zorva_mail({"get", "--mark"});
    EXPECT_EQ(mark.status, kExitSuccess) << mark.out;
    EXPECT_TRUE(contains(mark.out, "mode \"M\"")) << mark.out;
    EXPECT_EQ(tp_store_unread(0), 0);
}

TEST_F(ZorvaMailTest, GetAfterAnId)
{
    store_message("m1", "First");
    store_message("m2", "Second");
    ZorvaMailRun run = run_zorva_mail({"get", "--after", "m1"});
    EXPECT_EQ(run.status, kExitSuccess) << run.out;
    EXPECT_TRUE(contains(run.out, "> GETMAIL(message ID \"m1\"")) << run.out;
    EXPECT_TRUE(contains(run.out, "message ID: m2\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "Subject:Second\n")) << run.out;

    ZorvaMailRun last = run_zorva_mail({"get", "--after", "m2"});
    EXPECT_EQ(last.status, kExitExportFailed) << last.out;
    EXPECT_TRUE(contains(last.out, "no message found\n")) << last.out;
}

TEST_F(ZorvaMailTest, GetAllWalksTheInboxPassingEachIdBack)
{
    store_message("m1", "First");
    store_message("m2", "Second", false);
    store_message("m3", "Third");
    ZorvaMailRun run = run_zorva_mail({"get", "--all"});
    EXPECT_EQ(run.status, kExitSuccess) << run.out;
    for (const char *id : {"NULL", "m1", "m2", "m3"}) {
        EXPECT_EQ(occurrences(run.out, std::string("> GETMAIL(message ID \"") + id + "\""), 1u)
            << id << "\n" << run.out;
    }
    size_t first = run.out.find("Subject:First");
    size_t second = run.out.find("Subject:Second");
    size_t third = run.out.find("Subject:Third");
    EXPECT_TRUE(first < second && second < third && third != std::string::npos) << run.out;
    EXPECT_TRUE(contains(run.out, "no further message\nwalked the inbox: 3 messages reported\n"))
        << run.out;
    EXPECT_EQ(tp_store_unread(0), 1) << "peeking marks nothing";
}

// Each read with --mark takes its message out of the unread ones, so the
// walk asks for the first unread message every time.
TEST_F(ZorvaMailTest, GetAllMarkingUnreadOnlyStartsFromTheFirstEachTime)
{
    store_message("m1", "First");
    store_message("m2", "Second", false);
    store_message("m3", "Third");
    ZorvaMailRun run = run_zorva_mail({"get", "--all", "--mark", "--unread-only"});
    EXPECT_EQ(run.status, kExitSuccess) << run.out;
    EXPECT_EQ(occurrences(run.out, "> GETMAIL(message ID \"NULL\""), 3u) << run.out;
    EXPECT_EQ(occurrences(run.out, "unread-only \"U\""), 3u) << run.out;
    EXPECT_TRUE(contains(run.out, "message ID: m1\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "message ID: m3\n")) << run.out;
    EXPECT_FALSE(contains(run.out, "message ID: m2\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "walked the inbox: 2 messages reported\n")) << run.out;
    for (int i = 0; i < tp_store_size(); ++i) {
        EXPECT_EQ(tp_store_unread(i), 0) << tp_store_id(i);
    }
}

TEST_F(ZorvaMailTest, GetAllCarriesOnPastAFailedRead)
{
    store_message("m1", "First");
    store_message("m2", "Second");
    store_message("m3", "Third");
    tp_fail("MAPIReadMail", MAPI_E_FAILURE, 2);
    ZorvaMailRun run = run_zorva_mail({"get", "--all"});
    EXPECT_EQ(run.status, kExitExportFailed) << run.out;
    EXPECT_TRUE(contains(run.out, "message ID: m2 (its read failed)\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "Subject:Third\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "walked the inbox: 2 messages reported, 1 read failed\n"))
        << run.out;
}

struct ChangeCase {
    const char *what;
    std::vector<std::string> args;
    std::vector<std::string> ids_after;
    std::vector<std::string> subjects_after;
    int status;
};

const ChangeCase kChanges[] = {
    {"delete the first", {"delete"}, {"m2", "m3"}, {"Second", "Third"}, kExitSuccess},
    {"delete the one after m1", {"delete", "--after", "m1"}, {"m1", "m3"}, {"First", "Third"},
     kExitSuccess},
    {"delete after the last", {"delete", "--after", "m3"}, {"m1", "m2", "m3"},
     {"First", "Second", "Third"}, kExitExportFailed},
    {"update the first", {"update", "Rewritten"}, {"m1", "m2", "m3"},
     {"Rewritten", "Second", "Third"}, kExitSuccess},
    {"update the one after m2", {"update", "--after", "m2", "Rewritten"}, {"m1", "m2", "m3"},
     {"First", "Second", "Rewritten"}, kExitSuccess},
    {"update after an unknown ID", {"update", "--after", "m9", "Rewritten"}, {"m1", "m2", "m3"},
     {"First", "Second", "Third"}, kExitExportFailed},
};

void PrintTo(const ChangeCase &c, std::ostream *os) { *os << c.what; }

class Changes : public ZorvaMailTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(Changes, ActOnTheMessageFound)
{
    const ChangeCase &c = GetParam();
    store_message("m1", "First");
    store_message("m2", "Second");
    store_message("m3", "Third");
    ZorvaMailRun run = run_zorva_mail(c.args);
    EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.out;
    EXPECT_EQ(store_ids(), c.ids_after) << c.what << "\n" << run.out;
    for (int i = 0; i < tp_store_size() && i < static_cast<int>(c.subjects_after.size()); ++i) {
        EXPECT_EQ(text_of(tp_store_message(i)->lpszSubject), c.subjects_after[i])
            << c.what << ", message " << tp_store_id(i);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Changes, ::testing::ValuesIn(kChanges));

TEST_F(ZorvaMailTest, AddressBookPassesInitialRecipientsAndPrintsTheChoice)
{
    MapiRecipDesc chosen[] = {
        {0, MAPI_TO, const_cast<char *>("Ann Lee"), const_cast<char *>("SMTP:ann@example.com"), 0,
         nullptr},
        {0, MAPI_CC, const_cast<char *>("Bob Roe"), const_cast<char *>("SMTP:bob@example.com"), 0,
         nullptr},
    };
    tp_address_selection(chosen, 2);
    ZorvaMailRun run =
        run_zorva_mail({"addressbook", "--to", "Ann Lee <ann@example.com>", "--bcc", "cy"});
    EXPECT_EQ(run.status, kExitSuccess) << run.out;
    EXPECT_TRUE(contains(run.out, "initial recipients \"TO|Ann Lee|ann@example.com|BCC|cy|cy\""))
        << run.out;
    ASSERT_EQ(tp_address_initial_count(), 2);
    EXPECT_EQ(tp_address_initial(1)->ulRecipClass, MAPI_BCC);
    EXPECT_EQ(text_of(tp_address_initial(1)->lpszAddress), "cy");
    EXPECT_TRUE(contains(run.out, "ADDRESSBOOK returned 0: chosen\n"
                                  "recipients: \"TO|Ann Lee|SMTP:ann@example.com|CC|Bob Roe|"
                                  "SMTP:bob@example.com\"\n"
                                  "  TO   Ann Lee <SMTP:ann@example.com>\n"
                                  "  CC   Bob Roe <SMTP:bob@example.com>\n"))
        << run.out;
}

// ---- Help ----

struct HelpEntry {
    const char *subcommand;
    const char *calls;
};

const HelpEntry kHelpEntries[] = {
    {"send", "SENDMAIL"},       {"inbox", "INBOX"},     {"get", "GETMAIL"},
    {"update", "GETMAIL"},      {"delete", "GETMAIL"},  {"addressbook", "ADDRESSBOOK"},
    {"version", "mapi_version"}, {"register", "(registry)"}, {"unregister", "(registry)"},
};

TEST_F(ZorvaMailTest, HelpNamesTheExportOfEachCommand)
{
    for (const char *ask : {"--help", "help", "-h"}) {
        ZorvaMailRun run = run_zorva_mail({ask});
        EXPECT_EQ(run.status, kExitSuccess) << ask;
        for (const HelpEntry &e : kHelpEntries) {
            char line[128];
            std::snprintf(line, sizeof line, "\n  %-12s %-13s ", e.subcommand, e.calls);
            EXPECT_TRUE(contains(run.out, line)) << ask << ": no line \"" << line << "\" in\n"
                                                 << run.out;
        }
    }
    EXPECT_EQ(tp_loads(), 0);
}

TEST_F(ZorvaMailTest, HelpOfOneCommand)
{
    for (const HelpEntry &e : kHelpEntries) {
        std::string heading = std::string(e.subcommand) + " calls " + e.calls + ".\n";
        ZorvaMailRun asked = run_zorva_mail({"help", e.subcommand});
        ZorvaMailRun option = run_zorva_mail({e.subcommand, "--help"});
        EXPECT_EQ(asked.status, kExitSuccess);
        EXPECT_EQ(asked.out.compare(0, heading.size(), heading), 0) << asked.out;
        EXPECT_EQ(option.out, asked.out) << e.subcommand;
    }
    EXPECT_EQ(tp_loads(), 0);
}

} // namespace

#if !defined(_WIN32)
namespace {

TEST_F(ZorvaMailTest, RegisteringIsForWindowsOnly)
{
    for (const char *subcommand : {"register", "unregister"}) {
        ZorvaMailRun run = run_zorva_mail({subcommand});
        EXPECT_EQ(run.status, kExitExportFailed) << subcommand;
        EXPECT_TRUE(contains(run.err, "Windows registry")) << run.err;
    }
    EXPECT_EQ(tp_loads(), 0);
}

} // namespace
#endif

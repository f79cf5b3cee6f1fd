// SENDMAIL: the message the mail system receives for each recipient and
// attachment list, the note text normalised in the host's buffer, and the
// texts and results of refusals and failures.
#include <functional>

#include "guarded_buffer.h"
#include "mapi_records.h"
#include "provider_fixture.h"

namespace {

const std::string kBindText = "Unable to initialise MAPI services. Error loading the library\n";
const std::string kLogonText = "Unable to Login to the Mail Server\n";
const std::string kLogoffText = "Unable to log off mail server\n";
const std::string kRecipientsTooLong = "Recipient list too long\n";
const std::string kAttachmentsTooLong = "Attachment list too long\n";

const std::string kLongest(79, 'n');     // the longest token a list may hold
const std::string kTooLong(80, 'n');     // one character more

// Recipient list text of `tokens` tokens: full groups TO|Name<i>|addr<i>,
// then what is left of the last group.
std::string recipient_tokens(int tokens)
{
    static const char *classes[] = {"TO", "CC", "BCC"};
    std::string text;
    for (int i = 0; i < tokens; ++i) {
        int group = i / 3;
        std::string token = i % 3 == 0   ? classes[group % 3]
                            : i % 3 == 1 ? "Name" + std::to_string(group)
                                         : "addr" + std::to_string(group);
        text += (i ? "|" : "") + token;
    }
    return text;
}

std::vector<Recip> recipients_of_tokens(int tokens)
{
    static const MapiULong classes[] = {MAPI_TO, MAPI_CC, MAPI_BCC};
    std::vector<Recip> recips;
    for (int group = 0; group * 3 < tokens; ++group) {
        Recip r{classes[group % 3], std::nullopt, std::nullopt};
        if (group * 3 + 1 < tokens) {
            r.name = "Name" + std::to_string(group);
        }
        if (group * 3 + 2 < tokens) {
            r.address = "addr" + std::to_string(group);
        }
        recips.push_back(r);
    }
    return recips;
}

std::string attachment_tokens(int tokens)
{
    std::string text;
    for (int i = 0; i < tokens; ++i) {
        text += (i ? "|f" : "f") + std::to_string(i);
    }
    return text;
}

std::vector<Text> attachments_of_tokens(int tokens)
{
    std::vector<Text> paths;
    for (int i = 0; i < tokens; ++i) {
        paths.push_back("f" + std::to_string(i));
    }
    return paths;
}

struct SendArgs {
    std::string recipients = "TO|Ann|ann@example.com";
    std::string subject = "Subject";
    std::string note = "Note";
    std::string attachments = "NULL";
};

struct SendOutcome {
    CallResult call;
    std::string note_after; // the host's note buffer after the call, all its bytes
    bool note_guard_intact;
};

SendOutcome send(const ZorvaLibrary &lib, const SendArgs &args)
{
    HostText profile("profile"), password("secret"), recipients(args.recipients),
        subject(args.subject), attachments(args.attachments);
    GuardedBuffer note(args.note);
    CallResult call = call_capturing([&] {
        return lib.SENDMAIL(profile.get(), password.get(), recipients.get(), subject.get(),
                            note.get(), attachments.get());
    });
    return SendOutcome{call, note.raw(), note.guard_intact()};
}

// Every field of the one message sent, except recipients and files.
void expect_message_envelope(const MapiMessage &m, const std::string &subject,
                             const std::string &note)
{
    EXPECT_EQ(m.ulReserved, 0u);
    EXPECT_EQ(describe_text(m.lpszSubject), describe_text(Text(subject)));
    EXPECT_EQ(describe_text(m.lpszNoteText), describe_text(Text(note)));
    EXPECT_EQ(m.lpszMessageType, nullptr);
    EXPECT_EQ(m.lpszDateReceived, nullptr);
    EXPECT_EQ(m.lpszConversationID, nullptr);
    EXPECT_EQ(m.flFlags, 0u);
    ASSERT_NE(m.lpOriginator, nullptr);
    EXPECT_EQ(describe(*m.lpOriginator), describe(Recip{MAPI_ORIG, "ONE", std::nullopt}));
    EXPECT_EQ(tp_sent_flags(0), 0u);
    EXPECT_EQ(provider_calls("MAPISendMail"), std::vector<std::string>{"MAPISendMail(0,0x0,0)"});
}

// ---------------------------------------------------------------------------
// Lists: what the provider receives for each recipient and attachment text.

struct ListCase {
    const char *name;
    std::string recipients;
    std::string attachments;
    std::vector<Recip> recips;
    std::vector<Text> files;
    std::string subject = "Subject";
};

// Failures name the case, not its bytes.
void PrintTo(const ListCase &c, std::ostream *os) { *os << c.name; }

std::vector<ListCase> list_cases()
{
    const Text none = std::nullopt;
    return {
        {"OneTo", "TO|Ann|addr1", "NULL", {{MAPI_TO, "Ann", "addr1"}}, {}},
        {"ToAndBcc",
         "TO|Ann|addr1|BCC|Bob|addr2",
         "NULL",
         {{MAPI_TO, "Ann", "addr1"}, {MAPI_BCC, "Bob", "addr2"}},
         {}},
        {"AllThreeClasses",
         "TO|Ann|p|CC|Bob|q|BCC|Cy|r",
         "NULL",
         {{MAPI_TO, "Ann", "p"}, {MAPI_CC, "Bob", "q"}, {MAPI_BCC, "Cy", "r"}},
         {}},
        {"EmptyName", "TO||addr1", "NULL", {{MAPI_TO, "", "addr1"}}, {}},
        {"EmptyAddress", "CC|Bob|", "NULL", {{MAPI_CC, "Bob", ""}}, {}},
        {"LowerCaseClassWord", "to|Ann|addr1", "NULL", {{0, "Ann", "addr1"}}, {}},
        {"MixedCaseClassWord", "Bcc|Ann|addr1", "NULL", {{0, "Ann", "addr1"}}, {}},
        {"BlankBeforeClassWord", " TO|Ann|addr1", "NULL", {{0, "Ann", "addr1"}}, {}},
        {"BlankAfterClassWord", "CC |Ann|addr1", "NULL", {{0, "Ann", "addr1"}}, {}},
        {"LongerClassWord", "TOO|Ann|addr1", "NULL", {{0, "Ann", "addr1"}}, {}},
        {"BlanksKeptInTokens", "TO| Ann Lee |SMTP:ann@example.com ", "NULL",
         {{MAPI_TO, " Ann Lee ", "SMTP:ann@example.com "}}, {}},
        {"EmptyRecipientText", "", "NULL", {{0, none, none}}, {}},
        {"TrailingBarAddsAnEmptyRecipient",
         "TO|Ann|addr1|",
         "NULL",
         {{MAPI_TO, "Ann", "addr1"}, {0, none, none}},
         {}},
        {"ShortLastGroupNameOnly",
         "TO|Ann|addr1|CC|Bob",
         "NULL",
         {{MAPI_TO, "Ann", "addr1"}, {MAPI_CC, "Bob", none}},
         {}},
        {"ClassWordAlone", "BCC", "NULL", {{MAPI_BCC, none, none}}, {}},
        {"OnlyBars", "|||", "NULL", {{0, "", ""}, {0, none, none}}, {}},
        {"GroupsCountFromTheStart", "Ann|addr1|TO", "NULL", {{0, "addr1", "TO"}}, {}},
        {"LowerCaseNullIsAList", "null", "NULL", {{0, none, none}}, {}},
        {"NullWithBlankIsAList", "NULL ", "NULL", {{0, none, none}}, {}},
        {"NoRecipients", "NULL", "NULL", {}, {}},
        {"OneAttachment", "NULL", "report.txt", {}, {"report.txt"}},
        {"TwoAttachments", "NULL", "a.txt|b.txt", {}, {"a.txt", "b.txt"}},
        {"EmptyAttachmentText", "NULL", "", {}, {""}},
        {"TrailingBarAddsAnEmptyPath", "NULL", "a.txt|", {}, {"a.txt", ""}},
        {"LowerCaseNullIsAPath", "NULL", "null", {}, {"null"}},
        {"NullWithBlankIsAPath", "NULL", "NULL ", {}, {"NULL "}},
        {"PathsKeptWhole", "NULL", "C:\\My Files\\a b.txt|/tmp/x y", {},
         {"C:\\My Files\\a b.txt", "/tmp/x y"}},
        {"RecipientsAndAttachments",
         "TO|Ann|addr1|CC|Bob|addr2",
         "a.txt|b.txt|c.txt",
         {{MAPI_TO, "Ann", "addr1"}, {MAPI_CC, "Bob", "addr2"}},
         {"a.txt", "b.txt", "c.txt"}},
        {"LongestName", "TO|" + kLongest + "|addr1", "NULL", {{MAPI_TO, kLongest, "addr1"}}, {}},
        {"LongestAddress", "TO|Ann|" + kLongest, "NULL", {{MAPI_TO, "Ann", kLongest}}, {}},
        {"LongestPath", "NULL", "a.txt|" + kLongest, {}, {"a.txt", kLongest}},
        {"MostRecipientTokens", recipient_tokens(80), "NULL", recipients_of_tokens(80), {}},
        {"MostEmptyRecipientTokens", std::string(79, '|'), "NULL",
         [] {
             std::vector<Recip> r(26, Recip{0, "", ""});
             r.push_back(Recip{0, "", std::nullopt});
             return r;
         }(),
         {}},
        {"MostAttachmentTokens", "NULL", attachment_tokens(80), {}, attachments_of_tokens(80)},
        {"SubjectNullIsSentAsText", "TO|Ann|addr1", "NULL", {{MAPI_TO, "Ann", "addr1"}}, {},
         "NULL"},
        {"EmptySubject", "TO|Ann|addr1", "NULL", {{MAPI_TO, "Ann", "addr1"}}, {}, ""},
    };
}

class SendListTest : public ProviderTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(SendListTest, ProviderReceivesExactlyTheMessage)
{
    const ListCase &c = GetParam();
    SendArgs args;
    args.recipients = c.recipients;
    args.attachments = c.attachments;
    args.subject = c.subject;
    SendOutcome out = send(lib, args);

    EXPECT_EQ(out.call.result, 0);
    EXPECT_EQ(out.call.printed, "");
    ASSERT_EQ(tp_sent_count(), 1);
    const MapiMessage &m = *tp_sent_message(0);
    expect_message_envelope(m, c.subject, "Note");
    EXPECT_EQ(describe(m.lpRecips, m.nRecipCount), describe(c.recips));
    EXPECT_EQ(describe(m.lpFiles, m.nFileCount), describe_files(c.files));
    EXPECT_EQ(tp_loads(), 1);
    EXPECT_EQ(tp_call_count("MAPILogoff"), 1);
}

INSTANTIATE_TEST_SUITE_P(Lists, SendListTest, ::testing::ValuesIn(list_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// ---------------------------------------------------------------------------
// Note text: every CR becomes LF in the host's buffer and in what is sent.

struct NoteCase {
    const char *name;
    std::string note;
    std::string normalised;
};

void PrintTo(const NoteCase &c, std::ostream *os) { *os << c.name; }

std::string repeated(const std::string &piece, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::vector<NoteCase> note_cases()
{
    return {
        {"CrLfBecomesLfLf", "Dear Ann,\r\nsee you.\r\n", "Dear Ann,\n\nsee you.\n\n"},
        {"LoneCr", "a\rb", "a\nb"},
        {"CrCrLf", "\r\r\n", "\n\n\n"},
        {"LfAlone", "a\nb\n", "a\nb\n"},
        {"NoLineEnds", "plain text", "plain text"},
        {"Empty", "", ""},
        {"NullIsText", "NULL", "NULL"},
        {"OtherBytesUnchanged", "\x01\t\x7F\x80\xE9\r\xFF", "\x01\t\x7F\x80\xE9\n\xFF"},
        {"At12799", repeated("abcdefg\r", 1599) + "1234567", repeated("abcdefg\n", 1599) + "1234567"},
        {"At12800", repeated("abcdefg\r", 1600), repeated("abcdefg\n", 1600)},
        {"Long", repeated("line of text\r\n", 5000), repeated("line of text\n\n", 5000)},
    };
}

class SendNoteTest : public ProviderTest, public ::testing::WithParamInterface<NoteCase> {};

TEST_P(SendNoteTest, NormalisedInPlaceAndSentWhole)
{
    const NoteCase &c = GetParam();
    ASSERT_EQ(c.note.size(), c.normalised.size());
    SendArgs args;
    args.note = c.note;
    SendOutcome out = send(lib, args);

    EXPECT_EQ(out.call.result, 0);
    EXPECT_EQ(out.call.printed, "");
    EXPECT_EQ(out.note_after, c.normalised + '\0') << "the host's buffer after the call";
    EXPECT_TRUE(out.note_guard_intact) << "written past the note text";
    ASSERT_EQ(tp_sent_count(), 1);
    const MapiMessage &m = *tp_sent_message(0);
    ASSERT_NE(m.lpszNoteText, nullptr);
    EXPECT_EQ(std::string(m.lpszNoteText), c.normalised);
}

INSTANTIATE_TEST_SUITE_P(Notes, SendNoteTest, ::testing::ValuesIn(note_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// ---------------------------------------------------------------------------
// Refusals and failures: their texts, -1, the note still normalised, and
// nothing sent unless the failure came after sending.

struct FailureCase {
    const char *name;
    std::function<void()> arrange;
    std::string recipients;
    std::string attachments;
    std::string printed;
    int loads;          // provider loads the call makes
    int logoffs;        // MAPILogoff calls
    int sent;           // messages the provider accepted
};

void PrintTo(const FailureCase &c, std::ostream *os) { *os << c.name; }

void no_provider() { host_platform::select_provider(host_platform::Provider::None); }
void without_details() { host_platform::select_provider(host_platform::Provider::WithoutDetails); }
void nothing() {}

std::vector<FailureCase> failure_cases()
{
    const std::string to = "TO|Ann|addr1";
    return {
        {"NoProvider", no_provider, to, "NULL", kBindText, 0, 0, 0},
        {"ProviderWithoutDetails", without_details, to, "NULL", kBindText, 1, 0, 0},
        {"LogonFails", [] { tp_fail("MAPILogon", MAPI_E_LOGIN_FAILURE, 0); }, to, "NULL",
         kLogonText, 1, 0, 0},
        {"SendFails", [] { tp_fail("MAPISendMail", 7, 0); }, to, "NULL", "Mail not sent 7 \n", 1, 1,
         0},
        {"SendFailsWithLargestCode", [] { tp_fail("MAPISendMail", 0xFFFFFFFFu, 0); }, to, "NULL",
         "Mail not sent 4294967295 \n", 1, 1, 0},
        {"SendAndLogoffFail",
         [] {
             tp_fail("MAPISendMail", MAPI_E_UNKNOWN_RECIPIENT, 0);
             tp_fail("MAPILogoff", MAPI_E_FAILURE, 0);
         },
         to, "NULL", "Mail not sent 14 \n" + kLogoffText, 1, 1, 0},
        {"NoRecipientsRefusedByProvider",
         [] { tp_fail("MAPISendMail", MAPI_E_INVALID_RECIPS, 0); }, "NULL", "NULL",
         "Mail not sent 25 \n", 1, 1, 0},
        {"LogoffFailsAfterSending", [] { tp_fail("MAPILogoff", MAPI_E_FAILURE, 0); }, to, "NULL",
         kLogoffText, 1, 1, 1},
        {"NameTooLong", nothing, "TO|" + kTooLong + "|addr1", "NULL", kRecipientsTooLong, 0, 0, 0},
        {"LastAddressTooLong", nothing, "TO|Ann|addr1|CC|Bob|" + kTooLong, "NULL",
         kRecipientsTooLong, 0, 0, 0},
        {"FirstClassWordTooLong", nothing, kTooLong + "|Ann|addr1", "NULL", kRecipientsTooLong, 0,
         0, 0},
        {"TooManyRecipientTokens", nothing, recipient_tokens(81), "NULL", kRecipientsTooLong, 0, 0,
         0},
        {"TooManyEmptyRecipientTokens", nothing, std::string(80, '|'), "NULL", kRecipientsTooLong,
         0, 0, 0},
        {"PathTooLong", nothing, to, "a.txt|" + kTooLong, kAttachmentsTooLong, 0, 0, 0},
        {"TooManyAttachmentTokens", nothing, to, attachment_tokens(81), kAttachmentsTooLong, 0, 0,
         0},
        {"BothListsTooLongReportsRecipients", nothing, recipient_tokens(81),
         attachment_tokens(81), kRecipientsTooLong, 0, 0, 0},
        {"RefusedEvenWithoutProvider", no_provider, to, attachment_tokens(81),
         kAttachmentsTooLong, 0, 0, 0},
    };
}

class SendFailureTest : public ProviderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SendFailureTest, PrintsItsLinesAndReturnsMinusOne)
{
    const FailureCase &c = GetParam();
    c.arrange();
    SendArgs args;
    args.recipients = c.recipients;
    args.attachments = c.attachments;
    args.note = "one\r\ntwo\r";
    SendOutcome out = send(lib, args);

    EXPECT_EQ(out.call.result, -1);
    EXPECT_EQ(out.call.printed, c.printed);
    EXPECT_EQ(out.note_after, std::string("one\n\ntwo\n") + '\0') << "note not normalised";
    EXPECT_TRUE(out.note_guard_intact);
    EXPECT_EQ(tp_loads(), c.loads);
    EXPECT_EQ(tp_unloads(), c.loads);
    EXPECT_EQ(tp_call_count("MAPILogoff"), c.logoffs);
    EXPECT_EQ(tp_sent_count(), c.sent);
    if (c.loads == 0) {
        EXPECT_EQ(tp_log_size(), 0) << "a provider function was called";
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, SendFailureTest, ::testing::ValuesIn(failure_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

using SendMailTest = ProviderTest;

// The message handed to the provider when sending fails is the full one,
// with the session that was logged on, and the note normalised.
TEST_F(SendMailTest, FailedSendStillHandsOverTheWholeMessage)
{
    tp_fail("MAPISendMail", MAPI_E_FAILURE, 0);
    SendArgs args;
    args.note = "a\r\nb";
    SendOutcome out = send(lib, args);
    EXPECT_EQ(out.call.result, -1);
    EXPECT_EQ(provider_calls("MAPISendMail"), std::vector<std::string>{"MAPISendMail(0,0x0,0)"});
    EXPECT_EQ(provider_log().back(), "MAPILogoff(0x5E55,0,0x0,0)");
}

// Two messages in a row: each call its own provider load and session, and
// nothing of the first message reaches the second.
TEST_F(SendMailTest, SecondMessageCarriesNothingOfTheFirst)
{
    SendArgs first;
    first.recipients = "TO|Ann|addr1|CC|Bob|addr2|BCC|Cy|addr3";
    first.attachments = "a.txt|b.txt";
    SendArgs second;
    second.recipients = "TO|Di";
    second.attachments = "NULL";
    EXPECT_EQ(send(lib, first).call.result, 0);
    EXPECT_EQ(send(lib, second).call.result, 0);
    ASSERT_EQ(tp_sent_count(), 2);
    const MapiMessage &m = *tp_sent_message(1);
    EXPECT_EQ(describe(m.lpRecips, m.nRecipCount),
              describe(std::vector<Recip>{{MAPI_TO, "Di", std::nullopt}}));
    EXPECT_EQ(m.nFileCount, 0u);
    EXPECT_EQ(tp_loads(), 2);
    EXPECT_EQ(tp_sessions_opened(), 2);
}

} // namespace

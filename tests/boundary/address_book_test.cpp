// ADDRESSBOOK: what the dialog is opened with, the recipient list text the
// host gets back for each choice, and what cancelled dialogs, refused
// releases and other failures print, return and leave in the buffer.
#include <functional>

#include "guarded_buffer.h"
#include "mapi_records.h"
#include "provider_fixture.h"

namespace {

const std::string kBindText = "Unable to initialise MAPI services. Error loading the library\n";
const std::string kLogonText = "Unable to Login to the Mail Server\n";
const std::string kLogoffText = "Unable to logoff Mail Server.\n";
const std::string kFreeText = "Unable to free buffer.\n";
const std::string kRecipientsTooLong = "Recipient list too long\n";

// What the host's buffer holds before the call: a list and bytes after it.
const std::string kBefore = "TO|Old|old@example.com";
constexpr size_t kSpare = 4096;

// Recipient list text of `groups` full groups, cycling through the classes.
std::string recipient_groups(int groups, const std::string &extra = "")
{
    static const char *classes[] = {"TO", "CC", "BCC"};
    std::string text;
    for (int g = 0; g < groups; ++g) {
        text += std::string(g ? "|" : "") + classes[g % 3] + "|Name" + std::to_string(g) +
                "|addr" + std::to_string(g);
    }
    return text + extra;
}

std::vector<Recip> recips_of_groups(int groups)
{
    static const MapiULong classes[] = {MAPI_TO, MAPI_CC, MAPI_BCC};
    std::vector<Recip> recips;
    for (int g = 0; g < groups; ++g) {
        recips.push_back({classes[g % 3], "Name" + std::to_string(g), "addr" + std::to_string(g)});
    }
    return recips;
}

struct BookOutcome {
    CallResult call;
    std::string buffer;        // every byte of the host's buffer after the call
    bool guard_intact;
};

BookOutcome open_book(const ZorvaLibrary &lib, const std::string &initial)
{
    HostText profile("profile"), password("secret"), list(initial);
    GuardedBuffer out(kBefore, kSpare);
    CallResult call = call_capturing([&] {
        return lib.ADDRESSBOOK(profile.get(), password.get(), list.get(), out.get());
    });
    return BookOutcome{call, out.raw(), out.guard_intact()};
}

// The buffer as it was before the call.
std::string untouched() { return GuardedBuffer(kBefore, kSpare).raw(); }

// The buffer holding `text` over what was there before.
std::string written(const std::string &text)
{
    std::string bytes = untouched();
    if (text.size() + 1 > bytes.size()) {
        bytes.resize(text.size() + 1);
    }
    bytes.replace(0, text.size() + 1, text + '\0');
    return bytes;
}

void choose(std::vector<Recip> selection)
{
    auto records = records_of(selection);
    tp_address_selection(records.data(), static_cast<MapiULong>(records.size()));
}

std::vector<std::string> initial_records()
{
    std::vector<std::string> lines;
    for (int i = 0; i < tp_address_initial_count(); ++i) {
        lines.push_back(describe(*tp_address_initial(i)));
    }
    return lines;
}

std::string record_argument(const Recip &r)
{
    return "{0," + std::to_string(r.recip_class) + "," +
           (r.name ? "\"" + *r.name + "\"" : "NULL") + "," +
           (r.address ? "\"" + *r.address + "\"" : "NULL") + ",0,NULL}";
}

// The MAPIAddress call the provider logs for these initial records.
std::string address_call(const std::vector<Recip> &initial)
{
    std::string records;
    for (const auto &r : initial) {
        records += (records.empty() ? "" : ",") + record_argument(r);
    }
    return "MAPIAddress(0,\"Zorva Addressing\",3,NULL," + std::to_string(initial.size()) + ",[" +
           records + "],0x0,0)";
}

// ---------------------------------------------------------------------------
// The dialog's arguments for each initial list.

struct InitialCase {
    const char *name;
    std::string list;
    std::vector<Recip> records;
};

void PrintTo(const InitialCase &c, std::ostream *os) { *os << c.name; }

std::vector<InitialCase> initial_cases()
{
    const Text none = std::nullopt;
    std::vector<Recip> most = recips_of_groups(26);
    most.push_back({MAPI_CC, "Last", none});
    return {
        {"NullOpensEmpty", "NULL", {}},
        {"ToAndCc", "TO|Ann|p|CC|Bob|q", {{MAPI_TO, "Ann", "p"}, {MAPI_CC, "Bob", "q"}}},
        {"Bcc", "BCC|Cy|r", {{MAPI_BCC, "Cy", "r"}}},
        {"EmptyText", "", {{0, none, none}}},
        {"LowerCaseNullIsAList", "null", {{0, none, none}}},
        {"NullWithBlankIsAList", "NULL ", {{0, none, none}}},
        {"LowerCaseClassWord", "cc|Bob|q", {{0, "Bob", "q"}}},
        {"TrailingBar", "BCC|Cy|r|", {{MAPI_BCC, "Cy", "r"}, {0, none, none}}},
        {"ShortLastGroup", "TO|Ann|p|CC", {{MAPI_TO, "Ann", "p"}, {MAPI_CC, none, none}}},
        {"LongestName", "TO|" + std::string(79, 'n') + "|p", {{MAPI_TO, std::string(79, 'n'), "p"}}},
        {"MostTokens", recipient_groups(26, "|CC|Last"), most},
    };
}

class AddressBookInitialTest : public ProviderTest,
                               public ::testing::WithParamInterface<InitialCase> {};

TEST_P(AddressBookInitialTest, DialogOpensWithTheHostsRecipients)
{
    const InitialCase &c = GetParam();
    BookOutcome out = open_book(lib, c.list);
    EXPECT_EQ(out.call.result, 0);
    EXPECT_EQ(out.call.printed, "");
    EXPECT_EQ(provider_calls("MAPIAddress"), std::vector<std::string>{address_call(c.records)});
    EXPECT_EQ(initial_records(), describe(c.records));
}

INSTANTIATE_TEST_SUITE_P(InitialLists, AddressBookInitialTest, ::testing::ValuesIn(initial_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// ---------------------------------------------------------------------------
// The text written for each choice.

struct ChoiceCase {
    const char *name;
    std::vector<Recip> selection;
    std::string text;
};

void PrintTo(const ChoiceCase &c, std::ostream *os) { *os << c.name; }

std::vector<ChoiceCase> choice_cases()
{
    const Text none = std::nullopt;
    return {
        {"OneToOneCc",
         {{MAPI_TO, "name1", "address1"}, {MAPI_CC, "name2", "address2"}},
         "TO|name1|address1|CC|name2|address2"},
        {"ClassesOneTwoThreeAndZero",
         {{MAPI_TO, "Ann", "p"}, {MAPI_CC, "Bob", "q"}, {MAPI_BCC, "Cy", "r"}, {0, "Di", "s"}},
         "TO|Ann|p|CC|Bob|q|BCC|Cy|r||Di|s"},
        {"OneBcc", {{MAPI_BCC, "Cy", "SMTP:cy@example.com"}}, "BCC|Cy|SMTP:cy@example.com"},
        {"NothingChosen", {}, ""},
        {"NoName", {{MAPI_TO, none, "addr1"}}, "TO||addr1"},
        {"NoAddress", {{MAPI_CC, "Bob", none}}, "CC|Bob|"},
        {"NeitherNameNorAddress", {{MAPI_BCC, none, none}, {MAPI_TO, "Ann", "p"}}, "BCC|||TO|Ann|p"},
        {"EmptyTexts", {{MAPI_TO, "", ""}}, "TO||"},
        {"UnknownClassWritesNoWord", {{7, "Ed", "t"}, {0xFFFFFFFFu, "Flo", "u"}}, "|Ed|t||Flo|u"},
        {"BlanksKept", {{MAPI_TO, " Ann Lee ", " p "}}, "TO| Ann Lee | p "},
        {"ManyRecipientsWrittenWhole", recips_of_groups(40), recipient_groups(40)},
    };
}

class AddressBookChoiceTest : public ProviderTest,
                              public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(AddressBookChoiceTest, WritesTheChosenRecipients)
{
    const ChoiceCase &c = GetParam();
    choose(c.selection);
    BookOutcome out = open_book(lib, "NULL");
    EXPECT_EQ(out.call.result, 0);
    EXPECT_EQ(out.call.printed, "");
    EXPECT_EQ(out.buffer, written(c.text)) << "exactly the text and its terminator";
    EXPECT_TRUE(out.guard_intact);
    EXPECT_EQ(provider_calls("MAPIFreeBuffer"), std::vector<std::string>{"MAPIFreeBuffer(buffer)"});
    EXPECT_EQ(tp_buffers_outstanding(), 0) << "the returned records were not released";
    EXPECT_EQ(tp_call_count("MAPILogoff"), 1);
    EXPECT_EQ(tp_unloads(), 1);
}

INSTANTIATE_TEST_SUITE_P(Choices, AddressBookChoiceTest, ::testing::ValuesIn(choice_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// Entry identifiers the provider hands back are not part of the text.
using AddressBookTest = ProviderTest;

TEST_F(AddressBookTest, EntryIdentifiersAreNotWritten)
{
    unsigned char eid[] = {1, 2, 3, 4};
    char name[] = "Ann", address[] = "p";
    MapiRecipDesc record{};
    record.ulReserved = 9;
    record.ulRecipClass = MAPI_TO;
    record.lpszName = name;
    record.lpszAddress = address;
    record.ulEIDSize = sizeof eid;
    record.lpEntryID = eid;
    tp_address_selection(&record, 1);
    BookOutcome out = open_book(lib, "NULL");
    EXPECT_EQ(out.call.result, 0);
    EXPECT_EQ(out.buffer, written("TO|Ann|p"));
}

// ---------------------------------------------------------------------------
// A dialog that fails or is cancelled: 1, the buffer as it was, and only
// the release and logoff lines, when those fail.

struct DialogFailureCase {
    const char *name;
    MapiULong code;
    bool release_fails;
    bool logoff_fails;
    std::string printed;
};

void PrintTo(const DialogFailureCase &c, std::ostream *os) { *os << c.name; }

const DialogFailureCase kDialogFailures[] = {
    {"Cancelled", MAPI_USER_ABORT, false, false, ""},
    {"CancelledReleaseFails", MAPI_USER_ABORT, true, false, kFreeText},
    {"CancelledLogoffFails", MAPI_USER_ABORT, false, true, kLogoffText},
    {"CancelledBothFail", MAPI_USER_ABORT, true, true, kFreeText + kLogoffText},
    {"ProviderFailure", MAPI_E_FAILURE, false, false, ""},
    {"NotSupported", MAPI_E_NOT_SUPPORTED, false, true, kLogoffText},
};

class AddressBookDialogFailureTest : public ProviderTest,
                                     public ::testing::WithParamInterface<DialogFailureCase> {};

TEST_P(AddressBookDialogFailureTest, ReturnsOneAndLeavesTheBuffer)
{
    const DialogFailureCase &c = GetParam();
    choose({{MAPI_TO, "Ann", "p"}});
    tp_fail("MAPIAddress", c.code, 0);
    if (c.release_fails) {
        tp_fail("MAPIFreeBuffer", MAPI_E_FAILURE, 0);
    }
    if (c.logoff_fails) {
        tp_fail("MAPILogoff", MAPI_E_FAILURE, 0);
    }
    BookOutcome out = open_book(lib, "TO|Ann|p");
    EXPECT_EQ(out.call.result, 1);
    EXPECT_EQ(out.call.printed, c.printed);
    EXPECT_EQ(out.buffer, untouched());
    EXPECT_TRUE(out.guard_intact);
    // Nothing was handed out, so the release gets the null it was preset to.
    EXPECT_EQ(provider_calls("MAPIFreeBuffer"), std::vector<std::string>{"MAPIFreeBuffer(NULL)"});
    EXPECT_EQ(tp_call_count("MAPILogoff"), 1);
    EXPECT_EQ(tp_unloads(), 1);
}

INSTANTIATE_TEST_SUITE_P(DialogFailures, AddressBookDialogFailureTest,
                         ::testing::ValuesIn(kDialogFailures),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// ---------------------------------------------------------------------------
// Failures after a successful dialog: the text is written, the session is
// still logged off and the provider released, and the result is -1.

struct AfterDialogCase {
    const char *name;
    bool release_fails;
    bool logoff_fails;
    std::string printed;
};

void PrintTo(const AfterDialogCase &c, std::ostream *os) { *os << c.name; }

const AfterDialogCase kAfterDialog[] = {
    {"ReleaseFails", true, false, kFreeText},
    {"LogoffFails", false, true, kLogoffText},
    {"ReleaseAndLogoffFail", true, true, kFreeText + kLogoffText},
};

class AddressBookAfterDialogTest : public ProviderTest,
                                   public ::testing::WithParamInterface<AfterDialogCase> {};

TEST_P(AddressBookAfterDialogTest, LogsOffReleasesAndReturnsMinusOne)
{
    const AfterDialogCase &c = GetParam();
    choose({{MAPI_TO, "Ann", "p"}, {MAPI_BCC, "Bob", "q"}});
    if (c.release_fails) {
        tp_fail("MAPIFreeBuffer", MAPI_E_FAILURE, 0);
    }
    if (c.logoff_fails) {
        tp_fail("MAPILogoff", MAPI_E_FAILURE, 0);
    }
    BookOutcome out = open_book(lib, "NULL");
    EXPECT_EQ(out.call.result, -1);
    EXPECT_EQ(out.call.printed, c.printed);
    EXPECT_EQ(out.buffer, written("TO|Ann|p|BCC|Bob|q"));
    EXPECT_EQ(tp_call_count("MAPIFreeBuffer"), 1);
    EXPECT_EQ(tp_call_count("MAPILogoff"), 1);
    EXPECT_EQ(tp_loads(), 1);
    EXPECT_EQ(tp_unloads(), 1);
}

INSTANTIATE_TEST_SUITE_P(AfterDialog, AddressBookAfterDialogTest, ::testing::ValuesIn(kAfterDialog),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// ---------------------------------------------------------------------------
// Failures before the dialog: -1, the buffer as it was, no dialog.

struct BeforeDialogCase {
    const char *name;
    std::function<void()> arrange;
    std::string initial;
    std::string printed;
    int loads;
};

void PrintTo(const BeforeDialogCase &c, std::ostream *os) { *os << c.name; }

std::vector<BeforeDialogCase> before_dialog_cases()
{
    auto nothing = [] {};
    return {
        {"NoProvider", [] { host_platform::select_provider(host_platform::Provider::None); },
         "NULL", kBindText, 0},
        {"ProviderWithoutDetails",
         [] { host_platform::select_provider(host_platform::Provider::WithoutDetails); },
         "TO|Ann|p", kBindText, 1},
        {"LogonFails", [] { tp_fail("MAPILogon", MAPI_E_LOGIN_FAILURE, 0); }, "TO|Ann|p",
         kLogonText, 1},
        {"NameTooLong", nothing, "TO|" + std::string(80, 'n') + "|p", kRecipientsTooLong, 0},
        {"TooManyTokens", nothing, recipient_groups(26, "|CC|Last|x"), kRecipientsTooLong, 0},
        {"TooManyEmptyTokens", nothing, std::string(80, '|'), kRecipientsTooLong, 0},
        // A choice of 27 written whole is 81 tokens: too long to be read back.
        {"TwentySevenWrittenRecipients", nothing, recipient_groups(27), kRecipientsTooLong, 0},
    };
}

class AddressBookBeforeDialogTest : public ProviderTest,
                                    public ::testing::WithParamInterface<BeforeDialogCase> {};

TEST_P(AddressBookBeforeDialogTest, ReturnsMinusOneWithoutDialog)
{
    const BeforeDialogCase &c = GetParam();
    c.arrange();
    BookOutcome out = open_book(lib, c.initial);
    EXPECT_EQ(out.call.result, -1);
    EXPECT_EQ(out.call.printed, c.printed);
    EXPECT_EQ(out.buffer, untouched());
    EXPECT_TRUE(out.guard_intact);
    EXPECT_EQ(tp_call_count("MAPIAddress"), 0);
    EXPECT_EQ(tp_loads(), c.loads);
    EXPECT_EQ(tp_unloads(), c.loads);
    if (c.loads == 0) {
        EXPECT_EQ(tp_log_size(), 0) << "a provider function was called";
    }
}

INSTANTIATE_TEST_SUITE_P(BeforeDialog, AddressBookBeforeDialogTest,
                         ::testing::ValuesIn(before_dialog_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// ---------------------------------------------------------------------------
// Round trips: the text written comes back as the same recipients, both as
// the next dialog's initial list and as SENDMAIL's recipients.

std::vector<Recip> round_trip_selection()
{
    std::vector<Recip> selection = {{MAPI_TO, "Ann Lee", "SMTP:ann@example.com"},
                                    {MAPI_CC, "Bob", "bob@example.com"},
                                    {MAPI_BCC, "Cy", "cy@example.com"},
                                    {0, "Di", "di@example.com"},
                                    {MAPI_TO, "", ""}};
    std::vector<Recip> more = recips_of_groups(21);
    selection.insert(selection.end(), more.begin(), more.end());
    return selection; // 26 records: the most that read back whole
}

TEST_F(AddressBookTest, ChosenTextOpensTheNextDialogWithTheSameRecipients)
{
    std::vector<Recip> selection = round_trip_selection();
    choose(selection);
    HostText profile("profile"), password("secret"), none("NULL");
    GuardedBuffer first(kBefore, kSpare);
    ASSERT_EQ(lib.ADDRESSBOOK(profile.get(), password.get(), none.get(), first.get()), 0);

    tp_reset();
    choose({});
    BookOutcome out = open_book(lib, first.str());
    EXPECT_EQ(out.call.result, 0);
    EXPECT_EQ(initial_records(), describe(selection));
    EXPECT_EQ(out.buffer, written(""));
}

TEST_F(AddressBookTest, ChosenTextSendsToTheSameRecipients)
{
    std::vector<Recip> selection = round_trip_selection();
    choose(selection);
    HostText profile("profile"), password("secret"), none("NULL");
    GuardedBuffer chosen(kBefore, kSpare);
    ASSERT_EQ(lib.ADDRESSBOOK(profile.get(), password.get(), none.get(), chosen.get()), 0);

    HostText subject("Subject"), note("Note"), files("NULL");
    ASSERT_EQ(lib.SENDMAIL(profile.get(), password.get(), chosen.get(), subject.get(), note.get(),
                           files.get()),
              0);
    ASSERT_EQ(tp_sent_count(), 1);
    const MapiMessage &m = *tp_sent_message(0);
    EXPECT_EQ(describe(m.lpRecips, m.nRecipCount), describe(selection));
}

// Two dialogs in a row: each its own load and session, and the second's
// empty choice leaves nothing of the first in the buffer.
TEST_F(AddressBookTest, EachCallWritesOnlyItsOwnChoice)
{
    choose({{MAPI_TO, "Ann", "p"}, {MAPI_CC, "Bob", "q"}});
    HostText profile("profile"), password("secret"), none("NULL");
    GuardedBuffer out(kBefore, kSpare);
    ASSERT_EQ(lib.ADDRESSBOOK(profile.get(), password.get(), none.get(), out.get()), 0);
    EXPECT_EQ(out.str(), "TO|Ann|p|CC|Bob|q");
    choose({{MAPI_BCC, "Cy", "r"}});
    ASSERT_EQ(lib.ADDRESSBOOK(profile.get(), password.get(), none.get(), out.get()), 0);
    EXPECT_EQ(out.str(), "BCC|Cy|r");
    EXPECT_EQ(tp_loads(), 2);
    EXPECT_EQ(tp_sessions_opened(), 2);
    EXPECT_EQ(tp_buffers_outstanding(), 0);
}

} // namespace

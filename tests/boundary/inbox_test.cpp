// INBOX: the header, then one line per message in order of arrival: ID,
// tab, date received, tab, subject, line feed.
#include "mail_cases.h"

namespace {

constexpr size_t kScratchText = 32767;

struct InboxCase {
    const char *name;
    std::vector<StoreMessage> messages;
    std::vector<Failure> failures;
    int result;
    std::string printed;
    int buffers_left = 0;
};

void PrintTo(const InboxCase &c, std::ostream *out) { *out << c.name; }

std::vector<InboxCase> inbox_cases()
{
    const auto sample = sample_messages();
    const std::string all = std::string(kListing1) + kListing2 + kListing3;
    StoreMessage long_fields = sample[0];
    long_fields.date = std::string(40000, 'd');
    long_fields.subject = std::string(kScratchText + 1, 's');
    StoreMessage exact_fields = sample[0];
    exact_fields.date = std::string(kScratchText, 'd');
    exact_fields.subject = std::string(kScratchText, 's');
    const std::string cut_line = "id-1\t" + std::string(kScratchText, 'd') + "\t" +
                                 std::string(kScratchText, 's') + "\n";
    return {
        {"EmptyInboxPrintsTheHeaderOnly", {}, {}, 0, kHeader},
        {"EveryMessageInOrderOfArrival", sample, {}, 0, std::string(kHeader) + all},
        {"ReadFailureEndsTheLineAndStillLogsOff", sample, {{"MAPIReadMail", MAPI_E_FAILURE, 2}},
         -1, std::string(kHeader) + kListing1 + "id-2\t" + read_failed(MAPI_E_FAILURE)},
        {"ReadAndLogoffFailuresPrintBoth", sample,
         {{"MAPIReadMail", MAPI_E_INVALID_MESSAGE, 1}, {"MAPILogoff", MAPI_E_FAILURE, 0}}, -1,
         std::string(kHeader) + "id-1\t" + read_failed(MAPI_E_INVALID_MESSAGE) + kLogoffFailed},
        {"ReleaseFailureStopsAfterTheLineAndStillLogsOff", sample,
         {{"MAPIFreeBuffer", MAPI_E_FAILURE, 1}}, -1, std::string(kHeader) + kListing1 + kFreeFailed, 1},
        {"LogoffFailureAfterTheListing", sample, {{"MAPILogoff", MAPI_E_FAILURE, 0}}, -1,
         std::string(kHeader) + all + kLogoffFailed},
        {"SearchFailureEndsTheListing", sample, {{"MAPIFindNext", MAPI_E_FAILURE, 2}}, 0,
         std::string(kHeader) + kListing1},
        {"FieldsAsLongAsTheScratchAreWhole", {exact_fields}, {}, 0, std::string(kHeader) + cut_line},
        {"LongerFieldsAreCutToTheScratch", {long_fields}, {}, 0, std::string(kHeader) + cut_line},
    };
}

class InboxTest : public ProviderTest, public ::testing::WithParamInterface<InboxCase> {};

TEST_P(InboxTest, Listing)
{
    store_add(GetParam().messages);
    for (const auto &failure : GetParam().failures) {
        tp_fail(failure.function, failure.code, failure.nth);
    }
    MailCallResult call = inbox();
    EXPECT_EQ(call.result, GetParam().result);
    EXPECT_TRUE(call.printed == GetParam().printed)
        << "printed:\n" << call.printed.substr(0, 2000) << "\nexpected:\n"
        << GetParam().printed.substr(0, 2000);
    EXPECT_EQ(call.buffers_left, GetParam().buffers_left);
    EXPECT_EQ(call.unbalanced, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, InboxTest, ::testing::ValuesIn(inbox_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

class InboxCallsTest : public ProviderTest {};

// Each search continues after the ID just listed; each read asks for the
// envelope only.
TEST_F(InboxCallsTest, SearchesAfterEachListedIdAndReadsEnvelopes)
{
    add_inbox(Inbox::Sample);
    inbox();
    std::vector<std::string> calls;
    for (const auto &line : provider_log()) {
        if (line.rfind("MAPIFindNext", 0) == 0 || line.rfind("MAPIReadMail", 0) == 0) {
            calls.push_back(line);
        }
    }
    const std::vector<std::string> expected = {
        "MAPIFindNext(0,NULL,\"\",0x100,0)",     "MAPIReadMail(0,\"id-1\",0x40,0)",
        "MAPIFindNext(0,NULL,\"id-1\",0x100,0)", "MAPIReadMail(0,\"id-2\",0x40,0)",
        "MAPIFindNext(0,NULL,\"id-2\",0x100,0)", "MAPIReadMail(0,\"id-3\",0x40,0)",
        "MAPIFindNext(0,NULL,\"id-3\",0x100,0)",
    };
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(tp_call_count("MAPIFreeBuffer"), 3);
    EXPECT_EQ(tp_buffers_outstanding(), 0);
}

} // namespace

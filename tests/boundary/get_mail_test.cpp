// GETMAIL: one message per call, found after the host's ID, reported,
// marked, rewritten or deleted; its results, diagnostics and buffers.
#include "mail_cases.h"

namespace {

const std::string kAll = summary({kUnread1, kUnread2, kRead3});
const std::string kFirstRead = summary({kRead1, kUnread2, kRead3});
const GetMailArgs kPeek{"P"}, kMark{"M"};

class GetMailTest : public ProviderTest, public ::testing::WithParamInterface<GetMailScenario> {};

TEST_P(GetMailTest, Scenario)
{
    run_scenario(GetParam());
}

const GetMailScenario kReadScenarios[] = {
    {"PeekNullGivesTheFirstAndLeavesItUnread", Inbox::Sample,
     {{"NULL", kPeek, {}, 0, "", "id-1", kReport1, kAll}}},
    {"LowerCaseMIsPeek", Inbox::Sample, {{"NULL", {"m"}, {}, 0, "", "id-1", kReport1, kAll}}},
    {"EmptyModeIsPeek", Inbox::Sample, {{"NULL", {""}, {}, 0, "", "id-1", kReport1, kAll}}},
    {"LowerCaseDIsPeek", Inbox::Sample, {{"NULL", {"d"}, {}, 0, "", "id-1", kReport1, kAll}}},
    {"LowerCaseUIsPeek", Inbox::Sample,
     {{"NULL", {"u", "", "New"}, {}, 0, "", "id-1", kReport1, kAll}}},
    {"ModeWordWithABlankIsPeek", Inbox::Sample,
     {{"NULL", {"M "}, {}, 0, "", "id-1", kReport1, kAll}}},
    {"MarkNullMarksTheFirstRead", Inbox::Sample,
     {{"NULL", kMark, {}, 0, "", "id-1", kReport1, kFirstRead}}},
    {"AnIdGivesTheNextWithOneLinePerAttachment", Inbox::Sample,
     {{"id-1", kPeek, {}, 0, "", "id-2", kReport2, kAll}}},
    {"MissingOriginatorAndFieldsGiveEmptyValues", Inbox::Sample,
     {{"id-2", kMark, {}, 0, "", "id-3", kReport3, kAll}}},
    {"AfterTheLastNothingIsFound", Inbox::Sample, {{"id-3", kPeek, {}, 1, "", "id-3", {}, kAll}}},
    {"AnUnknownIdFindsNothing", Inbox::Sample, {{"id-9", kMark, {}, 1, "", "id-9", {}, kAll}}},
    {"LowerCaseNullIsAnUnknownId", Inbox::Sample, {{"null", kPeek, {}, 1, "", "null", {}, kAll}}},
    {"PeekOnAnEmptyInbox", Inbox::Empty, {{"NULL", kPeek, {}, 1, "", "NULL", {}, ""}}},
    {"MarkOnAnEmptyInbox", Inbox::Empty, {{"NULL", kMark, {}, 1, "", "NULL", {}, ""}}},
    {"TheSwitchSkipsReadMessages", Inbox::FirstRead,
     {{"NULL", {"P", "U"}, {}, 0, "", "id-2", kReport2, kFirstRead}}},
    {"TheSwitchAfterAnUnreadIdGivesTheNextUnread", Inbox::Sample,
     {{"id-1", {"M", "U"}, {}, 0, "", "id-2", kReport2, summary({kUnread1, kRead2, kRead3})}}},
    {"TheSwitchAfterAReadIdFindsNothing", Inbox::FirstRead,
     {{"id-1", {"M", "U"}, {}, 1, "", "id-1", {}, kFirstRead}}},
    {"TheSwitchAfterTheLastUnreadFindsNothing", Inbox::Sample,
     {{"id-2", {"P", "U"}, {}, 1, "", "id-2", {}, kAll}}},
    {"LowerCaseSwitchIsNoSwitch", Inbox::FirstRead,
     {{"NULL", {"P", "u"}, {}, 0, "", "id-1", kReport1, kFirstRead}}},
    {"ReadFailureInPeekModeAdvancesTheIdOnly", Inbox::Sample,
     {{"NULL", kPeek, {{"MAPIReadMail", MAPI_E_FAILURE, 0}}, 1, read_failed(MAPI_E_FAILURE),
       "id-1", {}, kAll}}},
    {"ReadFailureInMarkModeAdvancesTheIdOnly", Inbox::Sample,
     {{"id-1", kMark, {{"MAPIReadMail", MAPI_E_INVALID_MESSAGE, 0}}, 1,
       read_failed(MAPI_E_INVALID_MESSAGE), "id-2", {}, kAll}}},
    {"ReleaseFailureStillLogsOff", Inbox::Sample,
     {{"NULL", kPeek, {{"MAPIFreeBuffer", MAPI_E_FAILURE, 0}}, -1, kFreeFailed, "id-1", {}, kAll,
       1}}},
    {"ReleaseAndLogoffFailuresPrintBoth", Inbox::Sample,
     {{"NULL", kMark, {{"MAPIFreeBuffer", MAPI_E_FAILURE, 0}, {"MAPILogoff", MAPI_E_FAILURE, 0}},
       -1, std::string(kFreeFailed) + kLogoffFailed, "id-1", {}, kFirstRead, 1}}},
    {"LogoffFailureAfterAReport", Inbox::Sample,
     {{"NULL", kPeek, {{"MAPILogoff", MAPI_E_FAILURE, 0}}, -1, kLogoffFailed, "id-1", kReport1,
       kAll}}},
    {"FirstSearchFailureFindsNothing", Inbox::Sample,
     {{"NULL", kPeek, {{"MAPIFindNext", MAPI_E_FAILURE, 1}}, 1, "", "NULL", {}, kAll}}},
    {"SearchFailureOnTheWayFindsNothing", Inbox::Sample,
     {{"id-1", kPeek, {{"MAPIFindNext", MAPI_E_FAILURE, 2}}, 1, "", "id-1", {}, kAll}}},
    {"DeleteFailureIsSilent", Inbox::Sample,
     {{"NULL", {"D"}, {{"MAPIDeleteMail", MAPI_E_FAILURE, 0}}, -2, "", "NULL", {}, kAll}}},
    {"DeleteThenLogoffFailure", Inbox::Sample,
     {{"NULL", {"D"}, {{"MAPILogoff", MAPI_E_FAILURE, 0}}, -1, kLogoffFailed, "NULL", {},
       summary({kUnread2, kRead3})}}},
    {"UpdateReadFailureSavesNothing", Inbox::Sample,
     {{"NULL", {"U", "", "New"}, {{"MAPIReadMail", MAPI_E_FAILURE, 0}}, 1,
       read_failed(MAPI_E_FAILURE), "NULL", {}, kAll}}},
    {"UpdateSaveFailureIsSilent", Inbox::Sample,
     {{"NULL", {"U", "", "New"}, {{"MAPISaveMail", MAPI_E_NOT_SUPPORTED, 0}}, -9, "", "NULL", {},
       kFirstRead}}},
    {"UpdateReleaseFailureCarriesOn", Inbox::Sample,
     {{"NULL", {"U", "", "New"}, {{"MAPIFreeBuffer", MAPI_E_FAILURE, 0}}, 0, kFreeFailed, "NULL",
       {}, summary({"id-1:New:read", kUnread2, kRead3}), 1}}},
};

INSTANTIATE_TEST_SUITE_P(Read, GetMailTest, ::testing::ValuesIn(kReadScenarios),
                         [](const auto &param_info) { return std::string(param_info.param.name); });
INSTANTIATE_TEST_SUITE_P(Maintenance, GetMailTest,
                         ::testing::ValuesIn(maintenance_scenarios()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

// The calls GETMAIL makes to the provider, apart from the frame's.
struct CallCase {
    const char *name;
    std::string id_in;
    GetMailArgs args;
    std::vector<std::string> calls;
};

const CallCase kCallCases[] = {
    {"PeekSearchesFromTheStartAndReadsWithPeek", "id-1", {"P"},
     {"MAPIFindNext(0,NULL,\"\",0x100,0)", "MAPIFindNext(0,NULL,\"id-1\",0x100,0)",
      "MAPIReadMail(0,\"id-2\",0x80,0)"}},
    {"MarkWithTheSwitchReadsWithoutPeek", "NULL", {"M", "U"},
     {"MAPIFindNext(0,NULL,\"\",0x120,0)", "MAPIReadMail(0,\"id-1\",0x0,0)"}},
    {"DeleteRemovesTheMessageFound", "id-1", {"D"},
     {"MAPIFindNext(0,NULL,\"\",0x100,0)", "MAPIFindNext(0,NULL,\"id-1\",0x100,0)",
      "MAPIDeleteMail(0,\"id-2\",0x0,0)"}},
    {"UpdateReadsMarkingAndSavesOverTheMessageFound", "NULL", {"U", "", "New"},
     {"MAPIFindNext(0,NULL,\"\",0x100,0)", "MAPIReadMail(0,\"id-1\",0x0,0)",
      "MAPISaveMail(0,0x0,0,\"id-1\")"}},
    {"NothingFoundCallsNothingElse", "id-3", {"D"},
     {"MAPIFindNext(0,NULL,\"\",0x100,0)", "MAPIFindNext(0,NULL,\"id-1\",0x100,0)",
      "MAPIFindNext(0,NULL,\"id-2\",0x100,0)", "MAPIFindNext(0,NULL,\"id-3\",0x100,0)"}},
};

class GetMailCallsTest : public ProviderTest, public ::testing::WithParamInterface<CallCase> {};

TEST_P(GetMailCallsTest, ProviderCalls)
{
    add_inbox(Inbox::Sample);
    HostMailBuffers buffers;
    buffers.id.set(GetParam().id_in);
    getmail(buffers, GetParam().args);
    std::vector<std::string> calls;
    for (const auto &line : provider_log()) {
        if (line.rfind("MAPILog", 0) != 0 && line.rfind("MAPIFreeBuffer", 0) != 0) {
            calls.push_back(line);
        }
    }
    EXPECT_EQ(calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Modes, GetMailCallsTest, ::testing::ValuesIn(kCallCases),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

class GetMailUpdateTest : public ProviderTest {};

// Only the subject changes; the sender, text and attachments are saved as read.
TEST_F(GetMailUpdateTest, KeepsEverythingButTheSubject)
{
    add_inbox(Inbox::Sample);
    HostMailBuffers buffers;
    buffers.id.set("id-1");
    ASSERT_EQ(getmail(buffers, {"U", "", "Renamed"}).result, 0);
    const MapiMessage *saved = tp_store_message(1);
    ASSERT_NE(saved->lpOriginator, nullptr);
    EXPECT_STREQ(saved->lpOriginator->lpszName, "Bob Ray");
    EXPECT_STREQ(saved->lpszSubject, "Renamed");
    EXPECT_STREQ(saved->lpszNoteText, "Two files\r\nattached");
    EXPECT_STREQ(saved->lpszDateReceived, "2000/01/13 17:05");
    ASSERT_EQ(saved->nFileCount, 2u);
    EXPECT_STREQ(saved->lpFiles[1].lpszPathName, "C:\\tmp\\b.doc");
}

// Some desktop clients ignore the seed and always answer with the first
// message; every walk must still end.
class SeedIgnoringProviderTest : public ProviderTest {};

TEST_F(SeedIgnoringProviderTest, GetMailFindsOnlyTheFirst)
{
    add_inbox(Inbox::Sample);
    tp_find_ignores_seed(1);
    struct {
        const char *id_in;
        int result;
        const char *id_after;
    } const steps[] = {{"NULL", 0, "id-1"}, {"id-1", 1, "id-1"}, {"id-2", 1, "id-2"},
                       {"id-9", 1, "id-9"}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.id_in);
        HostMailBuffers buffers;
        buffers.id.set(step.id_in);
        MailCallResult call = getmail(buffers, kPeek);
        EXPECT_EQ(call.result, step.result);
        EXPECT_EQ(buffers.id.text(), step.id_after);
        EXPECT_EQ(call.unbalanced, "");
    }
}

TEST_F(SeedIgnoringProviderTest, InboxListsOnlyTheFirst)
{
    add_inbox(Inbox::Sample);
    tp_find_ignores_seed(1);
    MailCallResult call = inbox();
    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.printed, std::string(kHeader) + kListing1);
    EXPECT_EQ(call.unbalanced, "");
}

} // namespace

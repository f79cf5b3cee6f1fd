// Walks of the inbox across several GETMAIL and INBOX calls in one
// process: the host passes back the ID it was given, and the library's
// search position, which lives as long as the library is loaded, must not
// change what any call finds.
#include "mail_cases.h"

namespace {

struct WalkStep {
    int result;
    std::string id_after;
    std::string report_after;
    std::string store_after;
};

// Calls GETMAIL once per step with the same host buffers, passing back
// whatever the previous call left in them; with reset_to_null the ID
// buffer is set to "NULL" before every call.
void walk(const GetMailArgs &args, bool reset_to_null, const std::vector<WalkStep> &steps)
{
    HostMailBuffers buffers;
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i + 1));
        if (reset_to_null) {
            buffers.id.set("NULL");
        }
        MailCallResult call = getmail(buffers, args);
        EXPECT_EQ(call.result, steps[i].result);
        EXPECT_EQ(call.printed, "");
        EXPECT_EQ(buffers.id.text(), steps[i].id_after);
        EXPECT_EQ(buffers.report.text(), steps[i].report_after);
        EXPECT_EQ(store_summary(), steps[i].store_after);
        EXPECT_EQ(call.unbalanced, "");
        EXPECT_EQ(call.buffers_left, 0);
        EXPECT_TRUE(buffers.id.canary_intact());
        EXPECT_TRUE(buffers.report.canary_intact());
    }
}

class MailWalkTest : public ProviderTest {};

TEST_F(MailWalkTest, PeekWalkLeavesEveryMessageUnread)
{
    add_inbox(Inbox::Sample);
    const std::string all = summary({kUnread1, kUnread2, kRead3});
    walk({"P"}, false,
         {{0, "id-1", kReport1, all},
          {0, "id-2", kReport2, all},
          {0, "id-3", kReport3, all},
          {1, "id-3", kReport3, all},
          {1, "id-3", kReport3, all}});
}

TEST_F(MailWalkTest, MarkWalkMarksEachMessageRead)
{
    add_inbox(Inbox::Sample);
    walk({"M"}, false,
         {{0, "id-1", kReport1, summary({kRead1, kUnread2, kRead3})},
          {0, "id-2", kReport2, summary({kRead1, kRead2, kRead3})},
          {0, "id-3", kReport3, summary({kRead1, kRead2, kRead3})},
          {1, "id-3", kReport3, summary({kRead1, kRead2, kRead3})}});
}

// Each read marks its message, so "NULL" with the switch finds the next
// unread one every time.
TEST_F(MailWalkTest, MarkWithTheSwitchAndNullReturnsTheUnreadOneByOne)
{
    add_inbox(Inbox::Sample);
    StoreMessage late = sample_messages()[0];
    late.id = "id-4";
    late.subject = "Late";
    store_add(late);
    walk({"M", "U"}, true,
         {{0, "id-1", kReport1, summary({kRead1, kUnread2, kRead3, "id-4:Late:unread"})},
          {0, "id-2", kReport2, summary({kRead1, kRead2, kRead3, "id-4:Late:unread"})},
          {0, "id-4", "MAILMESSAGE\nFrom:Ann Lee\nAddress:SMTP:ann@example.com\n"
                      "Date Received:2000/01/12 09:30\nSubject:Late\nMessage:Hello\nsecond line\n",
           summary({kRead1, kRead2, kRead3, "id-4:Late:read"})},
          {1, "NULL", "MAILMESSAGE\nFrom:Ann Lee\nAddress:SMTP:ann@example.com\n"
                      "Date Received:2000/01/12 09:30\nSubject:Late\nMessage:Hello\nsecond line\n",
           summary({kRead1, kRead2, kRead3, "id-4:Late:read"})}});
}

// The message just returned is read now, so with the switch its ID is no
// longer among the unread ones.
TEST_F(MailWalkTest, MarkWithTheSwitchPassingTheIdBackFindsNothing)
{
    add_inbox(Inbox::Sample);
    walk({"M", "U"}, false,
         {{0, "id-1", kReport1, summary({kRead1, kUnread2, kRead3})},
          {1, "id-1", kReport1, summary({kRead1, kUnread2, kRead3})}});
}

// INBOX and GETMAIL share the search position; neither disturbs the other.
TEST_F(MailWalkTest, ListingsBetweenCallsChangeNothingFound)
{
    add_inbox(Inbox::Sample);
    HostMailBuffers buffers;
    const std::string listing = std::string(kHeader) + kListing1 + kListing2 + kListing3;
    const std::pair<const char *, const char *> expected[] = {
        {"id-1", kReport1}, {"id-2", kReport2}, {"id-3", kReport3}};
    for (const auto &[id, report] : expected) {
        SCOPED_TRACE(id);
        EXPECT_EQ(inbox().printed, listing);
        EXPECT_EQ(getmail(buffers, {"P"}).result, 0);
        EXPECT_EQ(buffers.id.text(), id);
        EXPECT_EQ(buffers.report.text(), report);
    }
    EXPECT_EQ(inbox().printed, listing);
    EXPECT_EQ(getmail(buffers, {"P"}).result, 1);
    buffers.id.set("NULL");
    EXPECT_EQ(getmail(buffers, {"P"}).result, 0);
    EXPECT_EQ(buffers.id.text(), "id-1") << "a new walk starts at the first message";
}

// What a host did before, in this process, leaves the search position in
// one state or another; modes "D" and "U" must act the same after any of it.
struct Prelude {
    const char *name;
    void (*run)();
};

void PrintTo(const Prelude &prelude, std::ostream *out) { *out << prelude.name; }

void peek_walk()
{
    add_inbox(Inbox::Sample);
    HostMailBuffers buffers;
    while (getmail(buffers, {"P"}).result == 0) {
    }
}

void mark_walk_with_switch()
{
    add_inbox(Inbox::Sample);
    HostMailBuffers buffers;
    while (getmail(buffers, {"M", "U"}).result == 0) {
        buffers.id.set("NULL");
    }
}

void listing()
{
    add_inbox(Inbox::Sample);
    inbox();
}

void listing_of_an_empty_inbox() { inbox(); }

void delete_after_the_host_id()
{
    add_inbox(Inbox::Sample);
    HostMailBuffers buffers;
    buffers.id.set("id-1");
    getmail(buffers, {"D"});
}

const Prelude kPreludes[] = {
    {"AfterAPeekWalk", peek_walk},
    {"AfterAMarkWalk", mark_walk_with_switch},
    {"AfterAListing", listing},
    {"AfterAnEmptyListing", listing_of_an_empty_inbox},
    {"AfterADelete", delete_after_the_host_id},
};

class MaintenanceAfterOtherCallsTest
    : public ProviderTest,
      public ::testing::WithParamInterface<std::tuple<Prelude, GetMailScenario>> {};

TEST_P(MaintenanceAfterOtherCallsTest, ActsOnTheMessageFound)
{
    std::get<0>(GetParam()).run();
    ASSERT_EQ(tp_loads(), tp_unloads());
    tp_reset();
    run_scenario(std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MaintenanceAfterOtherCallsTest,
    ::testing::Combine(::testing::ValuesIn(kPreludes), ::testing::ValuesIn(maintenance_scenarios())),
    [](const auto &param_info) {
        return std::string(std::get<0>(param_info.param).name) + "_" +
               std::get<1>(param_info.param).name;
    });

} // namespace

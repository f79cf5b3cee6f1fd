#include "mail_cases.h"

#include <gtest/gtest.h>

std::string read_failed(MapiULong code)
{
    return "ReadMail Returned the error " + std::to_string(code) + "\n";
}

std::string summary(const std::vector<std::string> &parts)
{
    std::string text;
    for (const auto &part : parts) {
        text += (text.empty() ? "" : "|") + part;
    }
    return text;
}

std::vector<StoreMessage> sample_messages()
{
    StoreMessage ann;
    ann.id = "id-1";
    ann.name = "Ann Lee";
    ann.address = "SMTP:ann@example.com";
    ann.date = "2000/01/12 09:30";
    ann.subject = "First";
    ann.note = "Hello\nsecond line";

    // Provider texts that look like formats must come out as they are.
    StoreMessage bob;
    bob.id = "id-2";
    bob.name = "Bob Ray";
    bob.address = "SMTP:bob@example.com";
    bob.date = "2000/01/13 17:05";
    bob.subject = "Costs 100% %s%n";
    bob.note = "Two files\r\nattached";
    bob.attachments = {"C:\\tmp\\a.txt", "C:\\tmp\\b.doc"};

    StoreMessage nobody;
    nobody.id = "id-3";
    nobody.has_originator = false;
    nobody.unread = false;
    return {ann, bob, nobody};
}

void add_inbox(Inbox inbox)
{
    if (inbox == Inbox::Empty) {
        return;
    }
    auto messages = sample_messages();
    messages[0].unread = inbox != Inbox::FirstRead;
    store_add(messages);
}

void PrintTo(const GetMailScenario &scenario, std::ostream *out)
{
    *out << scenario.name;
}

void run_scenario(const GetMailScenario &scenario)
{
    add_inbox(scenario.inbox);
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const GetMailStep &step = scenario.steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1) + ": GETMAIL(\"" + step.id_in + "\", mode \"" +
                     step.args.mode + "\", switch \"" + step.args.unread_only + "\")");
        for (const auto &failure : step.failures) {
            tp_fail(failure.function, failure.code, failure.nth);
        }
        HostMailBuffers buffers;
        buffers.id.set(step.id_in);
        MailCallResult call = getmail(buffers, step.args);
        EXPECT_EQ(call.result, step.result);
        EXPECT_EQ(call.printed, step.printed);
        EXPECT_EQ(buffers.id.text(), step.id_after);
        EXPECT_EQ(buffers.report.text(), step.report_after.value_or(kUntouchedReport));
        EXPECT_EQ(store_summary(), step.store_after);
        EXPECT_EQ(call.buffers_left, step.buffers_left);
        EXPECT_EQ(call.unbalanced, "");
        EXPECT_TRUE(buffers.id.canary_intact()) << "written past the message-ID buffer";
        EXPECT_TRUE(buffers.report.canary_intact()) << "written past the report buffer";
    }
}

const std::vector<GetMailScenario> &maintenance_scenarios()
{
    const std::string all = summary({kUnread1, kUnread2, kRead3});
    const GetMailArgs del{"D"};
    static const std::vector<GetMailScenario> scenarios = {
        {"DeleteNullDeletesTheFirst", Inbox::Sample,
         {{"NULL", del, {}, 0, "", "NULL", std::nullopt, summary({kUnread2, kRead3})}}},
        {"DeleteAfterAnIdDeletesTheNext", Inbox::Sample,
         {{"id-1", del, {}, 0, "", "id-1", std::nullopt, summary({kUnread1, kRead3})}}},
        {"DeleteAfterTheLastDeletesNothing", Inbox::Sample,
         {{"id-3", del, {}, 1, "", "id-3", std::nullopt, all}}},
        {"DeleteAfterAnUnknownIdDeletesNothing", Inbox::Sample,
         {{"id-9", del, {}, 1, "", "id-9", std::nullopt, all}}},
        {"DeleteOnAnEmptyInbox", Inbox::Empty, {{"NULL", del, {}, 1, "", "NULL", std::nullopt, ""}}},
        {"DeleteWithTheSwitchDeletesTheFirstUnread", Inbox::FirstRead,
         {{"NULL", {"D", "U"}, {}, 0, "", "NULL", std::nullopt, summary({kRead1, kRead3})}}},
        {"DeleteWithNullUntilTheInboxIsEmpty", Inbox::Sample,
         {{"NULL", del, {}, 0, "", "NULL", std::nullopt, summary({kUnread2, kRead3})},
          {"NULL", del, {}, 0, "", "NULL", std::nullopt, kRead3},
          {"NULL", del, {}, 0, "", "NULL", std::nullopt, ""},
          {"NULL", del, {}, 1, "", "NULL", std::nullopt, ""},
          {"NULL", {"U", "", "Late"}, {}, 1, "", "NULL", std::nullopt, ""}}},
        {"UpdateNullRewritesTheFirst", Inbox::Sample,
         {{"NULL", {"U", "", "Rewritten"}, {}, 0, "", "NULL", std::nullopt,
           summary({"id-1:Rewritten:read", kUnread2, kRead3})}}},
        {"UpdateAfterAnIdRewritesTheNext", Inbox::Sample,
         {{"id-1", {"U", "", "Re: 50% %n"}, {}, 0, "", "id-1", std::nullopt,
           summary({kUnread1, "id-2:Re: 50% %n:read", kRead3})}}},
        {"UpdateAfterTheLastSavesNothing", Inbox::Sample,
         {{"id-3", {"U", "", "Lost"}, {}, 1, "", "id-3", std::nullopt, all}}},
        {"UpdateAfterAnUnknownIdSavesNothing", Inbox::Sample,
         {{"id-9", {"U", "", "Lost"}, {}, 1, "", "id-9", std::nullopt, all}}},
        {"UpdateOnAnEmptyInbox", Inbox::Empty,
         {{"NULL", {"U", "", "Lost"}, {}, 1, "", "NULL", std::nullopt, ""}}},
        {"UpdateWithTheSwitchRewritesTheFirstUnread", Inbox::FirstRead,
         {{"NULL", {"U", "U", "New"}, {}, 0, "", "NULL", std::nullopt,
           summary({kRead1, "id-2:New:read", kRead3})}}},
        {"UpdateThenDeleteAfterTheSameId", Inbox::Sample,
         {{"id-1", {"U", "", "Gone"}, {}, 0, "", "id-1", std::nullopt,
           summary({kUnread1, "id-2:Gone:read", kRead3})},
          {"id-1", del, {}, 0, "", "id-1", std::nullopt, summary({kUnread1, kRead3})},
          {"id-1", del, {}, 0, "", "id-1", std::nullopt, kUnread1},
          {"id-1", {"U", "", "Lost"}, {}, 1, "", "id-1", std::nullopt, kUnread1}}},
    };
    return scenarios;
}

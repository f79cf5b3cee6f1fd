// GETMAIL never writes past the host's 512-byte ID buffer or its
// 32768-byte report buffer: long reports, fields and IDs are cut.
#include "mail_cases.h"

namespace {

constexpr size_t kLongestReport = kHostReportSize - 1;
constexpr size_t kLongestId = kHostMessageIdSize - 1;

std::string value(const OptionalText &text) { return text.value_or(""); }

// The whole report of a message, before any cut.
std::string full_report(const StoreMessage &m)
{
    std::string report = "MAILMESSAGE\n";
    report += "From:" + (m.has_originator ? value(m.name) : "") + "\n";
    report += "Address:" + (m.has_originator ? value(m.address) : "") + "\n";
    report += "Date Received:" + value(m.date) + "\n";
    for (const auto &path : m.attachments) {
        report += "Attachment:" + value(path) + "\n";
    }
    return report + "Subject:" + value(m.subject) + "\n" + "Message:" + value(m.note) + "\n";
}

StoreMessage plain_message()
{
    StoreMessage m;
    m.id = "long-1";
    m.name = "Ann Lee";
    m.address = "SMTP:ann@example.com";
    m.date = "2000/01/12 09:30";
    m.subject = "Big";
    m.note = "";
    return m;
}

// A message whose whole report is `length` characters long.
StoreMessage report_of_length(size_t length)
{
    StoreMessage m = plain_message();
    m.note = std::string(length - full_report(m).size(), 'n');
    return m;
}

struct BoundsCase {
    const char *name;
    StoreMessage message;
};

std::vector<BoundsCase> bounds_cases()
{
    StoreMessage long_date = plain_message();
    long_date.date = std::string(40000, 'd');
    StoreMessage long_name = plain_message();
    long_name.name = std::string(kHostReportSize, 'a');
    StoreMessage many_files = plain_message();
    for (int i = 0; i < 3000; ++i) {
        many_files.attachments.push_back("C:\\files\\attachment-" + std::to_string(i) + ".dat");
    }
    StoreMessage null_paths = plain_message();
    null_paths.attachments = {std::nullopt, "", "C:\\x"};
    StoreMessage null_names = plain_message();
    null_names.name.reset();
    null_names.address.reset();
    StoreMessage longest_id = plain_message();
    longest_id.id = std::string(kLongestId, 'i');
    return {
        {"ReportOneShortOfTheLimit", report_of_length(kLongestReport - 1)},
        {"ReportAtTheLimit", report_of_length(kLongestReport)},
        {"ReportOneOverTheLimitIsCut", report_of_length(kLongestReport + 1)},
        {"HugeNoteIsCut", report_of_length(100000)},
        {"DateLongerThanTheScratchIsCut", long_date},
        {"NameAsLongAsTheReportIsCut", long_name},
        {"ThousandsOfAttachmentsAreCut", many_files},
        {"NullAndEmptyAttachmentPaths", null_paths},
        {"OriginatorWithoutNameOrAddress", null_names},
        {"IdThatFillsTheIdBuffer", longest_id},
    };
}

class GetMailBoundsTest : public ProviderTest, public ::testing::WithParamInterface<BoundsCase> {};

TEST_P(GetMailBoundsTest, ReportIsCutToTheBuffer)
{
    const StoreMessage &message = GetParam().message;
    store_add(message);
    for (const char *mode : {"P", "M"}) {
        SCOPED_TRACE(mode);
        HostMailBuffers buffers;
        MailCallResult call = getmail(buffers, {mode});
        EXPECT_EQ(call.result, 0);
        EXPECT_EQ(call.printed, "");
        EXPECT_EQ(buffers.id.text(), message.id);
        std::string expected = full_report(message).substr(0, kLongestReport);
        EXPECT_EQ(buffers.report.text().size(), expected.size());
        EXPECT_TRUE(buffers.report.text() == expected) << "report differs";
        EXPECT_TRUE(buffers.report.canary_intact());
        EXPECT_TRUE(buffers.id.canary_intact());
        EXPECT_EQ(call.unbalanced, "");
        EXPECT_EQ(call.buffers_left, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Bounds, GetMailBoundsTest, ::testing::ValuesIn(bounds_cases()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

class GetMailLongIdTest : public ProviderTest {};

// An ID longer than the mail system's ID buffer arrives cut to 511
// characters; reading or deleting the cut ID then fails, and nothing
// overflows.
TEST_F(GetMailLongIdTest, IdLongerThanTheBufferIsCut)
{
    StoreMessage message = plain_message();
    message.id = std::string(600, 'x');
    store_add(message);
    for (const char *mode : {"P", "M", "D", "U"}) {
        SCOPED_TRACE(mode);
        HostMailBuffers buffers;
        MailCallResult call = getmail(buffers, {mode, "", "New"});
        bool deleting = std::string(mode) == "D";
        EXPECT_EQ(call.result, deleting ? -2 : 1);
        EXPECT_EQ(call.printed, deleting ? "" : read_failed(MAPI_E_INVALID_MESSAGE));
        bool reporting = std::string(mode) == "P" || std::string(mode) == "M";
        EXPECT_EQ(buffers.id.text(), reporting ? std::string(kLongestId, 'x') : "NULL");
        EXPECT_EQ(buffers.report.text(), kUntouchedReport);
        EXPECT_TRUE(buffers.id.canary_intact());
        EXPECT_TRUE(buffers.report.canary_intact());
        EXPECT_EQ(call.unbalanced, "");
        EXPECT_EQ(tp_store_size(), 1);
    }
}

// A host ID of the longest size is found and passed on.
TEST_F(GetMailLongIdTest, LongestIdPassedBackFindsTheNext)
{
    StoreMessage first = plain_message(), second = plain_message();
    first.id = std::string(kLongestId, 'a');
    second.id = std::string(kLongestId, 'b');
    store_add({first, second});
    HostMailBuffers buffers;
    ASSERT_EQ(getmail(buffers, {"P"}).result, 0);
    EXPECT_EQ(buffers.id.text(), first.id);
    ASSERT_EQ(getmail(buffers, {"P"}).result, 0);
    EXPECT_EQ(buffers.id.text(), second.id);
    EXPECT_EQ(getmail(buffers, {"P"}).result, 1);
    EXPECT_EQ(buffers.id.text(), second.id);
    EXPECT_TRUE(buffers.id.canary_intact());
    EXPECT_TRUE(buffers.report.canary_intact());
}

} // namespace

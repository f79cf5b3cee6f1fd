// A server that does not accept the message: the host hears of it, the
// message stays whole in the outbox, and a retry delivers it once.
#include <cstdio>
#include <filesystem>

#include "run_cli.h"
#include "smtp_fixture.h"
#include "smtp_host.h"
#include "zorva_outbox.h"

namespace {

// Nothing listens on loopback port 1.
const char *const kClosedPort = "1";

} // namespace

struct FailureCase {
    const char *name;
    const char *mode;
    const char *port; // "" for the server's
    const char *recipients;
    unsigned code;
    bool server_got_the_data; // the server read the whole message, then dropped it
};

class SmtpFailureTest : public SmtpTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SmtpFailureTest, MessageIsKeptAndARetryDeliversItOnce)
{
    const FailureCase &c = GetParam();
    set_mode(c.mode);
    write_profile("", c.port);
    std::string attachment = binary_bytes(5000, 3);
    std::string note = "kept for later\n.dot line\n";
    CallOutcome sent =
        send(c.recipients, c.name, note, make_file("kept.bin", attachment));
    EXPECT_EQ(sent.result, -1);
    EXPECT_EQ(sent.code(), c.code) << sent.printed;
    EXPECT_TRUE(received().empty());
    EXPECT_EQ(!dropped().empty(), c.server_got_the_data);
    std::vector<std::string> kept = outbox();
    ASSERT_EQ(kept.size(), 1u);
    ASSERT_GT(kept[0].size(), 4u);
    ASSERT_EQ(kept[0].substr(kept[0].size() - 4), ".eml") << kept[0];
    std::string queued = read_file(outbox_path() + "/" + kept[0]);

    // The server now takes everything; the retry sends the kept message.
    set_mode("accept");
    write_profile("");
    CallOutcome retried = retry();
    EXPECT_EQ(retried.result, 0) << retried.printed;
    std::string id = kept[0].substr(0, kept[0].size() - 4);
    EXPECT_EQ(retried.printed.rfind("delivered " + id + " <", 0), 0u) << retried.printed;
    std::vector<ReceivedMessage> messages = received();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(queued.find(messages[0].header("Message-ID")), std::string::npos);
    ASSERT_EQ(messages[0].parts.size(), 2u);
    EXPECT_EQ(lf_lines(messages[0].parts[0].bytes).substr(0, note.size()), note);
    EXPECT_EQ(messages[0].parts[1].bytes, attachment);
    if (c.server_got_the_data) {
        // What the dropped connection carried is what finally arrived.
        EXPECT_EQ(dropped()[0], messages[0].raw);
    }
    EXPECT_TRUE(outbox().empty());

    // Nothing is left, so nothing goes twice.
    CallOutcome again = retry();
    EXPECT_EQ(again.result, 0);
    EXPECT_EQ(again.printed, "");
    EXPECT_EQ(received().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SmtpFailureTest,
    ::testing::Values(
        FailureCase{"RecipientRefused", "refuse-recipient carl@example.net", "",
                    "TO|Bob|bob@example.org|CC|Carl|carl@example.net", 25, false},
        FailureCase{"EveryRecipientRefused", "refuse-recipient bob@example.org", "", "TO|Bob|bob@example.org", 25,
                    false},
        FailureCase{"ClosedInData", "close-in-data", "", "TO|Bob|bob@example.org", 2, true},
        FailureCase{"DroppedMidTransfer", "drop-mid-data 3000", "", "TO|Bob|bob@example.org", 2, false},
        FailureCase{"NeverAnswers", "silent", "", "TO|Bob|bob@example.org", 2, false},
        FailureCase{"ConnectionRefused", "accept", kClosedPort, "TO|Bob|bob@example.org", 2, false},
        FailureCase{"AuthRefused", "auth ann s3cret", "", "TO|Bob|bob@example.org", 3, false}),
    [](const ::testing::TestParamInfo<FailureCase> &case_info) { return case_info.param.name; });

// The own copy does not wait for the server: the remote one is queued and
// goes with the retry, so nothing is lost when the host does not send again.
TEST_F(SmtpTest, FailedDeliveryToOthersStillDeliversTheOwnCopy)
{
    set_mode("close-in-data");
    CallOutcome sent = send("TO|Ann Lee|ann@example.com|TO|Bob|bob@example.org", "Both ways", "one copy each");
    EXPECT_EQ(sent.code(), 2u) << sent.printed;
    std::size_t own = 0;
    for (const auto &entry : std::filesystem::directory_iterator(inbox_path())) {
        own += entry.path().extension() == ".eml";
    }
    EXPECT_EQ(own, 1u);
    ASSERT_EQ(outbox().size(), 1u);

    set_mode("accept");
    EXPECT_EQ(retry().result, 0);
    std::vector<ReceivedMessage> messages = received();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].recipients, std::vector<std::string>{"bob@example.org"});
}

// A claimed message whose process died: the server may have it already.
TEST_F(SmtpTest, UnconfirmedMessageIsReportedAndSentOnlyWhenAsked)
{
    set_mode("silent");
    CallOutcome sent = send("TO|Bob|bob@example.org", "Cut off", "maybe sent");
    ASSERT_EQ(sent.code(), 2u) << sent.printed;
    std::vector<std::string> kept = outbox();
    ASSERT_EQ(kept.size(), 1u);
    std::string id = kept[0].substr(0, kept[0].size() - 4);
    // As a process that died while transmitting leaves it.
    write_file(outbox_path() + "/" + id + ".sending", read_file(outbox_path() + "/" + kept[0]));
    std::remove((outbox_path() + "/" + kept[0]).c_str());

    set_mode("accept");
    CallOutcome retried = retry();
    EXPECT_EQ(retried.result, 2);
    EXPECT_EQ(retried.printed.rfind("unconfirmed " + id + " <", 0), 0u) << retried.printed;
    EXPECT_TRUE(received().empty());
    EXPECT_EQ(outbox(), std::vector<std::string>{id + ".sending"});

    CallOutcome resent = retry(ZORVA_RETRY_UNCONFIRMED);
    EXPECT_EQ(resent.result, 0) << resent.printed;
    EXPECT_EQ(resent.printed.rfind("delivered " + id + " <", 0), 0u) << resent.printed;
    EXPECT_EQ(received().size(), 1u);
    EXPECT_TRUE(outbox().empty());
}

TEST_F(SmtpTest, RetryWithoutAServerSaysSo)
{
    write_file(std::string(scratch_) + "/zorva_provider.ini",
               "default_profile = ann\n[profile ann]\nstore = store\naddress = ann@example.com\n");
    CallOutcome retried = retry();
    EXPECT_EQ(retried.result, 26);
    EXPECT_EQ(retried.printed, "the profile names no SMTP server (smtp_server)\n");
}

// zorva-mail retry: the same export, from the command line.
TEST_F(SmtpTest, ZorvaMailRetryReportsWhatItDelivered)
{
    set_mode("close-in-data");
    ASSERT_EQ(send("TO|Bob|bob@example.org", "Later", "by the command").code(), 2u);
    std::vector<std::string> kept = outbox();
    ASSERT_EQ(kept.size(), 1u);
    std::string id = kept[0].substr(0, kept[0].size() - 4);
    set_mode("accept");

    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    int status = zorva_cli::run_cli({"--profile", "ann", "retry", smtp_host::provider_path()},
                                    zorva_cli::CliSettings{}, out, err);
    auto text_of = [](std::FILE *file) {
        std::string text;
        std::rewind(file);
        char chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            text.append(chunk, got);
        }
        std::fclose(file);
        return text;
    };
    std::string printed = text_of(out);
    std::string complaints = text_of(err);
    EXPECT_EQ(status, 0) << printed << complaints;
    EXPECT_NE(printed.find("\ndelivered " + id + " <"), std::string::npos) << printed;
    EXPECT_NE(printed.find("ZorvaRetryOutbox returned 0: "), std::string::npos) << printed;
    EXPECT_EQ(received().size(), 1u);
    EXPECT_TRUE(outbox().empty());
}

// Sending and retrying at the same time, on two sessions in two threads:
// the transport lock keeps a retry from taking a message that a send has
// just queued, so every message arrives once.
#include <atomic>
#include <cstring>
#include <set>
#include <stdexcept>
#include <thread>

#include "host_platform.h"
#include "mapi/simple_mapi.h"
#include "smtp_fixture.h"
#include "smtp_host.h"
#include "zorva_outbox.h"

namespace {

constexpr int kMessages = 8;

} // namespace

TEST_F(SmtpTest, SendingWhileRetryingDeliversEachMessageOnce)
{
    void *module = host_platform::load_library(smtp_host::provider_path());
    ASSERT_NE(module, nullptr);
    auto logon = find<LPMAPILOGON>(module, "MAPILogon");
    auto logoff = find<LPMAPILOGOFF>(module, "MAPILogoff");
    auto send_mail = find<LPMAPISENDMAIL>(module, "MAPISendMail");
    auto retry_outbox = find<LPZORVARETRYOUTBOX>(module, "ZorvaRetryOutbox");
    char profile[] = "ann";
    char password[] = "";
    MapiHandle sender = 0;
    MapiHandle retrier = 0;
    ASSERT_EQ(logon(0, profile, password, MAPI_NEW_SESSION, 0, &sender), SUCCESS_SUCCESS);
    ASSERT_EQ(logon(0, profile, password, MAPI_NEW_SESSION, 0, &retrier), SUCCESS_SUCCESS);

    std::atomic<bool> sending{true};
    std::vector<MapiULong> results(kMessages, MAPI_E_FAILURE);
    std::thread send_thread([&] {
        char name[] = "Bob";
        char address[] = "bob@example.org";
        char note[] = "one of several";
        for (int i = 0; i < kMessages; ++i) {
            std::string subject = "message " + std::to_string(i);
            MapiRecipDesc recipient{0, MAPI_TO, name, address, 0, nullptr};
            MapiMessage message{};
            message.lpszSubject = &subject[0];
            message.lpszNoteText = note;
            message.nRecipCount = 1;
            message.lpRecips = &recipient;
            results[i] = send_mail(sender, 0, &message, 0, 0);
        }
        sending = false;
    });
    std::vector<char> report(65536);
    std::string reports;
    while (sending) {
        retry_outbox(retrier, 0, report.data(), static_cast<MapiULong>(report.size()));
        reports += report.data();
    }
    send_thread.join();
    logoff(sender, 0, 0, 0);
    logoff(retrier, 0, 0, 0);
    smtp_host::free_library(module);

    for (int i = 0; i < kMessages; ++i) {
        EXPECT_EQ(results[i], SUCCESS_SUCCESS) << "message " << i;
    }
    // Each send delivers its own message: the retries found nothing to send.
    EXPECT_EQ(reports.find("delivered"), std::string::npos) << reports;
    std::multiset<std::string> subjects;
    for (const ReceivedMessage &message : received()) {
        subjects.insert(message.header("Subject"));
    }
    std::multiset<std::string> expected;
    for (int i = 0; i < kMessages; ++i) {
        expected.insert("message " + std::to_string(i));
    }
    EXPECT_EQ(subjects, expected);
    EXPECT_TRUE(outbox().empty());
}

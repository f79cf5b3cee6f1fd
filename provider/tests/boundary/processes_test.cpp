// Several processes on one store: concurrent senders lose nothing, and a
// process killed in the middle of a write leaves every message whole.
#include <set>

#include "mail_fixture.h"
#include "test_host.h"

namespace {

class ProcessesTest : public ProviderFixture {
  protected:
    test_host::Process start(const std::vector<std::string> &arguments, const std::string &output)
    {
        return test_host::spawn(test_host::worker_path(), arguments, scratch_.file(output));
    }

    // Lines the worker has printed so far.
    int steps_done(const std::string &output)
    {
        std::string text = read_file(scratch_.file(output));
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    // Every message reads back whole: its subject is one of the expected
    // ones and its attachment, if any, has every byte.
    void expect_store_whole(MapiHandle session, const std::string &attachment)
    {
        for (const std::string &id : ids(session)) {
            ReadResult result = read(session, id, MAPI_PEEK);
            ASSERT_EQ(result.code, SUCCESS_SUCCESS) << id;
            if (!attachment.empty()) {
                ASSERT_EQ(result->files.size(), 1u) << id;
                EXPECT_TRUE(read_file(text_of(result->files[0].path_name)) == attachment)
                    << id << ": attachment damaged";
                std::remove(text_of(result->files[0].path_name).c_str());
            }
        }
    }
};

TEST_F(ProcessesTest, TwoProcessesSendingAtOnceLoseNothing)
{
    const int kEach = 40;
    std::string attachment = binary_bytes(20000, 3);
    std::string path = make_file("shared.bin", attachment);
    logon(); // creates the store before the workers race for it
    test_host::Process first = start({"send", "ann", std::to_string(kEach), "A", path}, "a.out");
    test_host::Process second = start({"send", "ann", std::to_string(kEach), "B", path}, "b.out");
    // Meanwhile this process reads the store as it grows.
    MapiHandle session = logon();
    for (int round = 0; round < 20; ++round) {
        for (const std::string &id : ids(session)) {
            ReadResult result = read(session, id, MAPI_PEEK | MAPI_ENVELOPE_ONLY);
            EXPECT_EQ(result.code, SUCCESS_SUCCESS) << id;
        }
    }
    EXPECT_EQ(test_host::wait_for(first), 0) << read_file(scratch_.file("a.out"));
    EXPECT_EQ(test_host::wait_for(second), 0) << read_file(scratch_.file("b.out"));

    std::vector<std::string> found = ids(session);
    ASSERT_EQ(found.size(), static_cast<std::size_t>(2 * kEach));
    std::set<std::string> subjects;
    int next_a = 0;
    int next_b = 0;
    for (const std::string &id : found) {
        ReadResult result = read(session, id, MAPI_PEEK);
        ASSERT_EQ(result.code, SUCCESS_SUCCESS);
        std::string subject = text_of(result->subject);
        subjects.insert(subject);
        // Each sender's messages arrive in the order it sent them.
        if (subject[0] == 'A') {
            EXPECT_EQ(subject, "A " + std::to_string(next_a++));
        } else {
            EXPECT_EQ(subject, "B " + std::to_string(next_b++));
        }
        EXPECT_EQ(text_of(result->note_text), "message " + subject + " from another process\n");
        ASSERT_EQ(result->files.size(), 1u);
        EXPECT_TRUE(read_file(text_of(result->files[0].path_name)) == attachment) << subject;
    }
    EXPECT_EQ(subjects.size(), static_cast<std::size_t>(2 * kEach));
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()).size(), found.size()) << "IDs repeat";
}

TEST_F(ProcessesTest, KilledWhileSendingLeavesTheStoreReadable)
{
    const std::size_t kLarge = 6 * 1024 * 1024;
    std::string attachment = binary_bytes(kLarge, 5);
    std::string path = make_file("large.bin", attachment);
    logon();
    const int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        std::string output = "kill" + std::to_string(round) + ".out";
        test_host::Process worker = start({"send", "ann", "1000", "K" + std::to_string(round), path}, output);
        // Let it finish at least one message, then stop it part way into another.
        for (int waited = 0; steps_done(output) < 1 && waited < 60000; waited += 5) {
            test_host::sleep_ms(5);
        }
        test_host::sleep_ms(3 + round * 7);
        test_host::kill_now(worker);
    }
    // The kills came part way through writing: what was being written lies in tmp/.
    EXPECT_FALSE(folder_names(join(store(), "tmp")).empty()) << "no kill interrupted a write";
    unload_provider();
    load_provider();
    MapiHandle session = logon();
    EXPECT_GE(ids(session).size(), static_cast<std::size_t>(kRounds));
    expect_store_whole(session, attachment);
    // The lock was released with the process, and the store goes on working.
    std::string after = send_to_self(session, "after the crashes", "fine", {{path, ""}});
    EXPECT_EQ(ids(session).back(), after);
    for (const std::string &name : folder_names(inbox())) {
        EXPECT_NE(name.find(".eml"), std::string::npos) << "a stray file in the inbox: " << name;
    }
}

TEST_F(ProcessesTest, KilledWhileRewritingLeavesTheMessageWhole)
{
    std::string attachment = binary_bytes(3 * 1024 * 1024, 9);
    MapiHandle session = logon();
    std::string id = send_to_self(session, "start", "text", {{make_file("r.bin", attachment), ""}});
    for (int round = 0; round < 4; ++round) {
        std::string output = "rewrite" + std::to_string(round) + ".out";
        test_host::Process worker = start({"rewrite", "ann", "1000"}, output);
        for (int waited = 0; steps_done(output) < 1 && waited < 60000; waited += 5) {
            test_host::sleep_ms(5);
        }
        test_host::sleep_ms(2 + round * 5);
        test_host::kill_now(worker);
        ReadResult result = read(session, id, MAPI_PEEK);
        ASSERT_EQ(result.code, SUCCESS_SUCCESS);
        std::string subject = text_of(result->subject);
        EXPECT_TRUE(subject == "even" || subject == "odd") << subject;
        EXPECT_EQ(text_of(result->note_text).rfind("rewritten ", 0), 0u);
        ASSERT_EQ(result->files.size(), 1u);
        EXPECT_TRUE(read_file(text_of(result->files[0].path_name)) == attachment) << "attachment damaged";
    }
    EXPECT_EQ(ids(session), (std::vector<std::string>{id}));
}

} // namespace

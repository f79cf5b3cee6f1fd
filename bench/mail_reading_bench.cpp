// Walking an inbox with GETMAIL, one message per call, and listing it with
// INBOX, through the test provider (loaded and released by every call, as
// a host's calls do). Each GETMAIL call searches from the first message up
// to the host's, so a walk of n messages makes about n²/2 searches.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "message_copy.h"
#include "script_api.h"

extern "C" {
#include "mail/mail_ops.h"
}

namespace {

constexpr size_t kHostIdSize = 512;
constexpr size_t kHostReportSize = 32768;

// n messages of an ordinary size, all unread.
void fill_inbox(int messages)
{
    tp_reset();
    tp_log_calls(0);
    test_provider::OwnedMessage message;
    test_provider::OwnedRecip originator;
    originator.name = "Ann Lee";
    originator.address = "SMTP:ann@example.com";
    message.originator = originator;
    message.date_received = "2000/01/12 09:30";
    message.subject = "Quarterly figures";
    message.note_text = std::string(2000, 'n');
    test_provider::OwnedFile file;
    file.path_name = "C:\\tmp\\figures.xls";
    message.files.push_back(file);
    for (int i = 0; i < messages; ++i) {
        char id[32];
        std::snprintf(id, sizeof id, "msg-%06d", i);
        tp_store_add(id, message.view(), 1);
    }
}

// Standard output goes to /dev/null while INBOX lists.
class QuietStdout {
  public:
    QuietStdout()
    {
        std::fflush(stdout);
        saved_ = dup(fileno(stdout));
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            std::perror("/dev/null");
        }
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        dup2(saved_, fileno(stdout));
        close(saved_);
    }

  private:
    int saved_;
};

void report_counts(benchmark::State &state, int calls_per_iteration, int searches_before)
{
    double iterations = static_cast<double>(state.iterations());
    state.counters["calls"] = calls_per_iteration;
    state.counters["searches"] = (tp_call_count("MAPIFindNext") - searches_before) / iterations;
    state.counters["per_call"] = benchmark::Counter(
        calls_per_iteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void GetMailWalk(benchmark::State &state)
{
    const int messages = static_cast<int>(state.range(0));
    fill_inbox(messages);
    char id[kHostIdSize], report[kHostReportSize];
    char profile[] = "profile", password[] = "secret", mode[] = "P", no_switch[] = "",
         subject[] = "";
    int searches_before = tp_call_count("MAPIFindNext");
    for (auto _ : state) {
        std::strcpy(id, ABSENT_MARKER);
        int found = 0;
        while (mail_get(id, profile, password, report, mode, no_switch, subject) == 0) {
            ++found;
        }
        if (found != messages) {
            state.SkipWithError("the walk did not reach every message");
            break;
        }
    }
    report_counts(state, messages + 1, searches_before);
}

void InboxListing(benchmark::State &state)
{
    const int messages = static_cast<int>(state.range(0));
    fill_inbox(messages);
    char profile[] = "profile", password[] = "secret";
    int searches_before = tp_call_count("MAPIFindNext");
    {
        QuietStdout quiet;
        for (auto _ : state) {
            if (mail_inbox(profile, password) != 0) {
                state.SkipWithError("INBOX failed");
                break;
            }
        }
    }
    report_counts(state, 1, searches_before);
}

BENCHMARK(GetMailWalk)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(InboxListing)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

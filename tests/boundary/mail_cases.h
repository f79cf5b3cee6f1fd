// The sample inbox of the mail-reading tests, and GETMAIL scenarios as
// tables: each step is one call with fresh host buffers, and what it must
// return, print, write and leave in the store.
#ifndef ZORVA_TESTS_MAIL_CASES_H
#define ZORVA_TESTS_MAIL_CASES_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "mail_calls.h"
#include "mail_store.h"
#include "provider_fixture.h"

// Sample: id-1 and id-2 unread, id-3 read. FirstRead: the same with id-1
// read too.
enum class Inbox { Empty, Sample, FirstRead };
void add_inbox(Inbox inbox);
std::vector<StoreMessage> sample_messages();

// The sample messages' reports and listing lines.
extern const std::string kReport1, kReport2, kReport3;
extern const std::string kListing1, kListing2, kListing3;

// Store summaries of the sample messages (see store_summary).
extern const std::string kUnread1, kRead1, kUnread2, kRead2, kRead3;
std::string summary(const std::vector<std::string> &parts);

// The diagnostic lines.
extern const std::string kHeader, kFreeFailed, kLogoffFailed;
std::string read_failed(MapiULong code);

struct Failure {
    const char *function;
    MapiULong code;
    int nth; // 0: every call from now on
};

struct GetMailStep {
    std::string id_in;
    GetMailArgs args;
    std::vector<Failure> failures; // from this step on
    int result;
    std::string printed;
    std::string id_after;
    std::optional<std::string> report_after; // nullopt: left alone
    std::string store_after;
    int buffers_left = 0;
};

struct GetMailScenario {
    const char *name;
    Inbox inbox;
    std::vector<GetMailStep> steps;
};

void PrintTo(const GetMailScenario &scenario, std::ostream *out);

// Adds the scenario's inbox to the store and checks every step.
void run_scenario(const GetMailScenario &scenario);

// Modes "D" and "U": they act on the message found, however the process
// used the library before.
const std::vector<GetMailScenario> &maintenance_scenarios();

#endif

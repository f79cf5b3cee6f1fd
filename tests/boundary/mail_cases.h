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

// The sample messages' reports and listing lines. Plain arrays, so that
// tables in other files can use them during their own initialisation.
constexpr char kReport1[] = "MAILMESSAGE\nFrom:Ann Lee\nAddress:SMTP:ann@example.com\n"
                            "Date Received:2000/01/12 09:30\nSubject:First\n"
                            "Message:Hello\nsecond line\n";
constexpr char kReport2[] = "MAILMESSAGE\nFrom:Bob Ray\nAddress:SMTP:bob@example.com\n"
                            "Date Received:2000/01/13 17:05\nAttachment:C:\\tmp\\a.txt\n"
                            "Attachment:C:\\tmp\\b.doc\nSubject:Costs 100% %s%n\n"
                            "Message:Two files\r\nattached\n";
constexpr char kReport3[] = "MAILMESSAGE\nFrom:\nAddress:\nDate Received:\nSubject:\nMessage:\n";

constexpr char kListing1[] = "id-1\t2000/01/12 09:30\tFirst\n";
constexpr char kListing2[] = "id-2\t2000/01/13 17:05\tCosts 100% %s%n\n";
constexpr char kListing3[] = "id-3\t\t\n";

// Store summaries of the sample messages (see store_summary).
constexpr char kUnread1[] = "id-1:First:unread";
constexpr char kRead1[] = "id-1:First:read";
constexpr char kUnread2[] = "id-2:Costs 100% %s%n:unread";
constexpr char kRead2[] = "id-2:Costs 100% %s%n:read";
constexpr char kRead3[] = "id-3:-:read";
std::string summary(const std::vector<std::string> &parts);

// The diagnostic lines.
constexpr char kHeader[] = "\nContents of the INBOX are as follows\n\n\n";
constexpr char kFreeFailed[] = "Unable to free buffer.\n";
constexpr char kLogoffFailed[] = "Unable to log off mail server\n";
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

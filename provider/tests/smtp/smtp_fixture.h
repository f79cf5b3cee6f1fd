// The fixture of the SMTP tests: the loopback server that CTest started
// (smtp_server.py, its folder named by ZORVA_SMTP_TEST_SERVER), a scratch
// folder with a profile whose mail server is that server, and the library
// sending through our provider as its MAPI32.DLL.
#ifndef ZORVA_PROVIDER_TESTS_SMTP_FIXTURE_H
#define ZORVA_PROVIDER_TESTS_SMTP_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_files.h"

// A message as the server received and Python's email package parsed it.
struct ReceivedPart {
    std::string content_type;
    std::string file_name; // "-" for none
    std::string bytes;     // decoded
};

struct ReceivedMessage {
    std::string mail_from;
    std::vector<std::string> recipients; // the envelope's, in order
    std::vector<std::pair<std::string, std::string>> headers;
    std::vector<ReceivedPart> parts;
    std::string raw;
    // The first header of that name (any case); "" when none.
    std::string header(const std::string &name) const;
};

struct CallOutcome {
    int result = 0;
    std::string printed;
    // The Simple MAPI code SENDMAIL printed ("Mail not sent N"); 0 when none.
    unsigned code() const;
};

// CR LF as LF, for comparing text bodies with what the host handed over.
std::string lf_lines(const std::string &text);

// A function of a library loaded with host_platform::load_library; throws
// when the library lacks it.
void *provider_function(void *module, const char *name);
template <typename Fn> Fn find(void *module, const char *name)
{
    void *address = provider_function(module, name);
    Fn function;
    std::memcpy(&function, &address, sizeof function);
    return function;
}

class SmtpTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // What the server does with the next connection (smtp_server.py's modes).
    void set_mode(const std::string &mode);
    // Rewrites the profile; extra lines go into its section.
    void write_profile(const std::string &extra_lines, const std::string &port = "");

    // SENDMAIL on profile ann. Lists in the library's forms.
    CallOutcome send(const std::string &recipients, const std::string &subject, const std::string &note,
                     const std::string &attachments = "NULL", const std::string &password = "");
    // ZorvaRetryOutbox on a session of profile ann; printed is the report.
    CallOutcome retry(unsigned flags = 0, const std::string &password = "");

    // Every message the server accepted, oldest first.
    std::vector<ReceivedMessage> received() const;
    // Messages the server took and then dropped the connection over.
    std::vector<std::string> dropped() const;
    // File names in the store's outbox, sorted.
    std::vector<std::string> outbox() const;
    std::string outbox_path() const;
    std::string inbox_path() const;
    // A file in the scratch folder, for attaching; its full path.
    std::string make_file(const std::string &name, const std::string &bytes) const;

    std::string scratch_;
    std::string server_;
    std::string port_;
};


#endif

// The fixture of every boundary test: a fresh test provider before each
// case, and after it the check that every load was released and every
// session logged off.
#ifndef ZORVA_TESTS_PROVIDER_FIXTURE_H
#define ZORVA_TESTS_PROVIDER_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host_platform.h"
#include "script_api.h"
#include "zorva_library.h"

// A writable, zero-terminated copy of a text, as a host passes it.
class HostText {
  public:
    HostText(const std::string &text) : bytes_(text.begin(), text.end()) { bytes_.push_back('\0'); }
    char *get() { return bytes_.data(); }
    std::string str() const { return std::string(bytes_.data()); }

  private:
    std::vector<char> bytes_;
};

// What one call returned and printed.
struct CallResult {
    int result;
    std::string printed;
};

CallResult call_capturing(const std::function<int()> &call);

// The test provider's call log, one line per MAPI call.
std::vector<std::string> provider_log();
// The log lines of one function only.
std::vector<std::string> provider_calls(const std::string &function);

class ProviderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    const ZorvaLibrary &lib = zorva();
};

#endif

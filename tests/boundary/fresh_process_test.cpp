// Modes "D" and "U" as the first calls of a process, when the library's
// search position is as loading left it. Each case is also registered as a
// test run of its own (tests/CMakeLists.txt), so it meets a fresh library.
#include "mail_cases.h"

namespace {

class FreshProcessTest : public ProviderTest,
                         public ::testing::WithParamInterface<GetMailScenario> {};

TEST_P(FreshProcessTest, ActsOnTheMessageFound)
{
    run_scenario(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Maintenance, FreshProcessTest,
                         ::testing::ValuesIn(maintenance_scenarios()),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

} // namespace

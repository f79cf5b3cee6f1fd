#include "provider_fixture.h"

CallResult call_capturing(const std::function<int()> &call)
{
    host_platform::start_capture();
    int result = call();
    return CallResult{result, host_platform::stop_capture()};
}

std::vector<std::string> provider_log()
{
    std::vector<std::string> lines;
    for (int i = 0; i < tp_log_size(); ++i) {
        lines.push_back(tp_log_entry(i));
    }
    return lines;
}

std::vector<std::string> provider_calls(const std::string &function)
{
    std::vector<std::string> lines;
    for (const auto &line : provider_log()) {
        if (line.compare(0, function.size() + 1, function + "(") == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

void ProviderTest::SetUp()
{
    tp_reset();
    host_platform::select_provider(host_platform::Provider::Full);
}

void ProviderTest::TearDown()
{
    EXPECT_EQ(tp_loads(), tp_unloads()) << "a provider load was not released";
    EXPECT_EQ(tp_sessions_open(), 0) << "a session was not logged off";
}

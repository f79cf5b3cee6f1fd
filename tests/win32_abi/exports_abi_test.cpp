// The DLL's exports as a 32-bit Windows host meets them: reachable by name
// and by ordinal, undecorated, and cdecl (the caller removes the arguments).
#include <cstdint>
#include <cstring>

#include "provider_fixture.h"

extern "C" int call_counting_stack(void *function, int argc, const uintptr_t *args,
                                   int *bytes_removed);

namespace {

struct Export {
    int ordinal;
    const char *name;
    int argc;
};

const Export kExports[] = {
    {1, "ADDRESSBOOK", 4}, {2, "GETMAIL", 9}, {3, "INBOX", 2}, {4, "SENDMAIL", 6},
    {5, "mapi_version", 1},
};

using ExportsAbiTest = ProviderTest;

TEST_F(ExportsAbiTest, OrdinalsReachTheNamedFunctions)
{
    for (const Export &e : kExports) {
        void *by_name = host_platform::find_function(lib.module, e.name);
        ASSERT_NE(by_name, nullptr) << e.name;
        EXPECT_EQ(host_platform::find_ordinal(lib.module, e.ordinal), by_name) << e.name;
    }
    EXPECT_EQ(host_platform::find_ordinal(lib.module, 6), nullptr);
}

TEST_F(ExportsAbiTest, NamesCarryNoDecoration)
{
    for (const Export &e : kExports) {
        std::string underscore = std::string("_") + e.name;
        std::string stdcall = std::string(e.name) + "@" + std::to_string(4 * e.argc);
        EXPECT_EQ(host_platform::find_function(lib.module, underscore.c_str()), nullptr);
        EXPECT_EQ(host_platform::find_function(lib.module, stdcall.c_str()), nullptr);
    }
}

// Each export is called with real arguments; a stdcall export would pop
// them itself and move the stack pointer.
TEST_F(ExportsAbiTest, EveryExportLeavesTheArgumentsToTheCaller)
{
    static char id[512] = "NULL", report[32768], recipients[4096], version[20];
    HostText profile("p"), password("w"), list("NULL"), text("t"), empty(""), mode("P");
    uintptr_t text_args[9];
    for (uintptr_t &arg : text_args) {
        arg = reinterpret_cast<uintptr_t>(empty.get());
    }
    auto ptr = [](char *p) { return reinterpret_cast<uintptr_t>(p); };
    const uintptr_t addressbook[] = {ptr(profile.get()), ptr(password.get()), ptr(list.get()),
                                     ptr(recipients)};
    const uintptr_t getmail[] = {ptr(id),         ptr(profile.get()), ptr(password.get()),
                                 ptr(empty.get()), ptr(report),        ptr(empty.get()),
                                 ptr(mode.get()),  ptr(empty.get()),   ptr(empty.get())};
    const uintptr_t inbox[] = {ptr(profile.get()), ptr(password.get())};
    const uintptr_t sendmail[] = {ptr(profile.get()), ptr(password.get()), ptr(list.get()),
                                  ptr(text.get()),    ptr(text.get()),     ptr(list.get())};
    const uintptr_t versionargs[] = {ptr(version)};
    const uintptr_t *args[] = {addressbook, getmail, inbox, sendmail, versionargs};

    for (size_t i = 0; i < 5; ++i) {
        const Export &e = kExports[i];
        int removed = -1;
        call_capturing([&] {
            return call_counting_stack(host_platform::find_function(lib.module, e.name), e.argc,
                                       args[i], &removed);
        });
        EXPECT_EQ(removed, 0) << e.name << " removed its own arguments";
    }
}

} // namespace

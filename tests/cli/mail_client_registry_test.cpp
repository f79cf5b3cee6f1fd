// register and unregister on a scratch copy of the mail clients' key under
// HKCU: the client's DLLPath and DLLPathEx, the default mail client, and the
// previous default given back.
#include <windows.h>

#include <optional>

#include "exit_codes.h"
#include "provider_fixture.h"
#include "zorva_mail_run.h"

namespace {

const char kScratchKey[] = "Software\\zorva-tests\\Clients\\Mail";
const char kScratchRoot[] = "Software\\zorva-tests";

std::string build_folder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    text = text.substr(0, text.find_last_of("\\/")); // tests
    return text.substr(0, text.find_last_of("\\/"));
}

// A DLL that is a Simple MAPI provider, and one that is not.
std::string test_provider() { return build_folder() + "\\providers\\full\\MAPI32.DLL"; }

std::optional<std::string> value(const std::string &subkey, const char *name)
{
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, subkey.c_str(), name, RRF_RT_REG_SZ, &type, data, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(data);
}

bool key_exists(const std::string &subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void set_default_client(const char *client)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kScratchKey, nullptr, REG_SZ, client,
                    static_cast<DWORD>(strlen(client) + 1));
}

class MailClientRegistryTest : public ProviderTest {
  protected:
    void SetUp() override
    {
        ProviderTest::SetUp();
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratchRoot);
        settings.mail_clients.per_user = true;
        settings.mail_clients.path = kScratchKey;
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratchRoot);
        ProviderTest::TearDown();
    }
    ZorvaMailRun run(const std::vector<std::string> &args) { return run_zorva_mail(args, settings); }

    zorva_cli::CliSettings settings;
    const std::string client_key = std::string(kScratchKey) + "\\Zorva Mail";
};

TEST_F(MailClientRegistryTest, RegisterNamesTheProviderTwiceAndBecomesTheDefault)
{
    set_default_client("Other Mail");
    ZorvaMailRun r = run({"register", test_provider()});
    ASSERT_EQ(r.status, zorva_cli::kExitSuccess) << r.err;
    EXPECT_EQ(value(client_key, "DLLPath"), test_provider());
    EXPECT_EQ(value(client_key, "DLLPathEx"), test_provider());
    EXPECT_EQ(value(client_key, "PreviousDefaultClient"), std::string("Other Mail"));
    EXPECT_EQ(value(kScratchKey, nullptr), std::string("Zorva Mail"));
    EXPECT_TRUE(contains(r.out, test_provider())) << r.out;
    EXPECT_TRUE(contains(r.out, "(before it: \"Other Mail\")")) << r.out;

    ZorvaMailRun u = run({"unregister"});
    ASSERT_EQ(u.status, zorva_cli::kExitSuccess) << u.err;
    EXPECT_EQ(value(kScratchKey, nullptr), std::string("Other Mail"));
    EXPECT_FALSE(key_exists(client_key));
    EXPECT_TRUE(contains(u.out, "\"Other Mail\" again")) << u.out;
}

TEST_F(MailClientRegistryTest, ARelativePathIsRegisteredInFull)
{
    std::string folder = build_folder() + "\\providers";
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(folder.c_str());
    ZorvaMailRun r = run({"register", "full\\MAPI32.DLL"});
    SetCurrentDirectoryA(saved);
    ASSERT_EQ(r.status, zorva_cli::kExitSuccess) << r.err;
    EXPECT_EQ(value(client_key, "DLLPath"), test_provider());
}

TEST_F(MailClientRegistryTest, RegisteringAgainKeepsTheFirstPreviousDefault)
{
    set_default_client("Other Mail");
    ASSERT_EQ(run({"register", test_provider()}).status, zorva_cli::kExitSuccess);
    ASSERT_EQ(run({"register", test_provider()}).status, zorva_cli::kExitSuccess);
    EXPECT_EQ(value(client_key, "PreviousDefaultClient"), std::string("Other Mail"));
    ASSERT_EQ(run({"unregister"}).status, zorva_cli::kExitSuccess);
    EXPECT_EQ(value(kScratchKey, nullptr), std::string("Other Mail"));
}

TEST_F(MailClientRegistryTest, WithoutAPreviousDefaultUnregisterLeavesNone)
{
    ASSERT_EQ(run({"register", test_provider()}).status, zorva_cli::kExitSuccess);
    EXPECT_EQ(value(client_key, "PreviousDefaultClient"), std::nullopt);
    EXPECT_EQ(value(kScratchKey, nullptr), std::string("Zorva Mail"));
    ASSERT_EQ(run({"unregister"}).status, zorva_cli::kExitSuccess);
    EXPECT_EQ(value(kScratchKey, nullptr), std::nullopt);
    EXPECT_FALSE(key_exists(client_key));
}

TEST_F(MailClientRegistryTest, ADefaultChangedSinceStays)
{
    set_default_client("Other Mail");
    ASSERT_EQ(run({"register", test_provider()}).status, zorva_cli::kExitSuccess);
    set_default_client("Newer Mail");
    ZorvaMailRun u = run({"unregister"});
    ASSERT_EQ(u.status, zorva_cli::kExitSuccess) << u.err;
    EXPECT_EQ(value(kScratchKey, nullptr), std::string("Newer Mail"));
    EXPECT_FALSE(key_exists(client_key));
}

TEST_F(MailClientRegistryTest, UnregisterWithNothingRegisteredChangesNothing)
{
    set_default_client("Other Mail");
    ZorvaMailRun u = run({"unregister"});
    EXPECT_EQ(u.status, zorva_cli::kExitSuccess);
    EXPECT_TRUE(contains(u.out, "nothing changed")) << u.out;
    EXPECT_EQ(value(kScratchKey, nullptr), std::string("Other Mail"));
}

struct RefusedProvider {
    const char *what;
    std::string path;
    const char *error_mentions;
};

TEST_F(MailClientRegistryTest, WhatIsNoProviderIsNotRegistered)
{
    const RefusedProvider refused[] = {
        {"a missing file", build_folder() + "\\no_such_provider.dll", "there is no provider DLL"},
        {"a folder", build_folder() + "\\providers", "there is no provider DLL"},
        {"a DLL without Simple MAPI", host_platform::library_path(),
         "does not export MAPILogon"},
    };
    set_default_client("Other Mail");
    for (const RefusedProvider &c : refused) {
        ZorvaMailRun r = run({"register", c.path});
        EXPECT_EQ(r.status, zorva_cli::kExitExportFailed) << c.what;
        EXPECT_TRUE(contains(r.err, c.error_mentions)) << c.what << ": " << r.err;
        EXPECT_FALSE(key_exists(client_key)) << c.what;
        EXPECT_EQ(value(kScratchKey, nullptr), std::string("Other Mail")) << c.what;
    }
}

} // namespace

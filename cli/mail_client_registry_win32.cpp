#include "mail_client_registry.h"

#include <windows.h>

#include <optional>

namespace zorva_cli {

namespace {

// Simple MAPI functions a provider cannot do without: the session, and the
// release of everything it hands out.
const char *const kRequiredProviderFunctions[] = {"MAPILogon", "MAPIFreeBuffer"};

std::string key_text(const MailClientsKey &key)
{
    return std::string(key.per_user ? "HKCU\\" : "HKLM\\") + key.path;
}

std::string error_text(LONG code)
{
    if (code == ERROR_ACCESS_DENIED) {
        return "access denied (registering the machine's mail client needs an administrator)";
    }
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(code), 0, text, sizeof text,
                                  nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) {
        text[--length] = '\0';
    }
    return "error " + std::to_string(code) + (length > 0 ? std::string(": ") + text : "");
}

// A key opened or created, closed when it goes out of scope.
class Key {
  public:
    Key() = default;
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;
    ~Key()
    {
        if (handle_ != nullptr) {
            RegCloseKey(handle_);
        }
    }
    HKEY *out() { return &handle_; }
    HKEY get() const { return handle_; }

  private:
    HKEY handle_ = nullptr;
};

HKEY root_of(const MailClientsKey &key) { return key.per_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// A text value, or nothing when it is absent (or not text).
std::optional<std::string> read_text(HKEY key, const char *name)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::string value(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&value[0]), &got) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(got);
    while (!value.empty() && value.back() == '\0') {
        value.pop_back();
    }
    return value;
}

LONG write_text(HKEY key, const char *name, const std::string &value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

// The provider's full path, once it is known to be a Simple MAPI provider.
bool checked_provider(const std::string &path, std::string *full, std::string *error)
{
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        *error = "cannot make a full path of \"" + path + "\"";
        return false;
    }
    *full = std::string(buffer, length);
    DWORD attributes = GetFileAttributesA(full->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        *error = "there is no provider DLL " + *full;
        return false;
    }
    HMODULE provider = LoadLibraryA(full->c_str());
    if (provider == nullptr) {
        *error = "cannot load " + *full + " (" + error_text(static_cast<LONG>(GetLastError())) + ")";
        return false;
    }
    for (const char *function : kRequiredProviderFunctions) {
        if (GetProcAddress(provider, function) == nullptr) {
            FreeLibrary(provider);
            *error = *full + " is not a Simple MAPI provider: it does not export " + function;
            return false;
        }
    }
    FreeLibrary(provider);
    return true;
}

} // namespace

RegistryOutcome register_mail_client(const MailClientsKey &key, const std::string &client,
                                     const std::string &provider_dll)
{
    std::string full;
    std::string error;
    if (!checked_provider(provider_dll, &full, &error)) {
        return {false, error};
    }
    Key clients;
    LONG code = RegCreateKeyExA(root_of(key), key.path.c_str(), 0, nullptr, 0,
                                KEY_READ | KEY_WRITE, nullptr, clients.out(), nullptr);
    if (code != ERROR_SUCCESS) {
        return {false, "cannot open " + key_text(key) + ": " + error_text(code)};
    }
    Key ours;
    code = RegCreateKeyExA(clients.get(), client.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                           nullptr, ours.out(), nullptr);
    if (code != ERROR_SUCCESS) {
        return {false, "cannot create " + key_text(key) + "\\" + client + ": " + error_text(code)};
    }

    std::optional<std::string> previous = read_text(clients.get(), nullptr);
    std::string remembered;
    if (previous && *previous == client) {
        // Registered before: the default of that time stays remembered.
        std::optional<std::string> kept = read_text(ours.get(), kPreviousClientValue);
        remembered = kept ? "\"" + *kept + "\"" : "none";
    } else if (previous) {
        code = write_text(ours.get(), kPreviousClientValue, *previous);
        remembered = "\"" + *previous + "\"";
    } else {
        RegDeleteValueA(ours.get(), kPreviousClientValue);
        remembered = "none";
    }
    if (code == ERROR_SUCCESS) {
        code = write_text(ours.get(), nullptr, client);
    }
    if (code == ERROR_SUCCESS) {
        code = write_text(ours.get(), kDllPathValue, full);
    }
    if (code == ERROR_SUCCESS) {
        code = write_text(ours.get(), kDllPathExValue, full);
    }
    if (code == ERROR_SUCCESS) {
        code = write_text(clients.get(), nullptr, client);
    }
    if (code != ERROR_SUCCESS) {
        return {false, "cannot write under " + key_text(key) + ": " + error_text(code)};
    }
    return {true, "registered " + key_text(key) + "\\" + client + " with " + kDllPathValue +
                      " and " + kDllPathExValue + " " + full + "\nthe default mail client is now \"" +
                      client + "\" (before it: " + remembered + ")"};
}

RegistryOutcome unregister_mail_client(const MailClientsKey &key, const std::string &client)
{
    Key clients;
    LONG code = RegOpenKeyExA(root_of(key), key.path.c_str(), 0, KEY_READ | KEY_WRITE,
                              clients.out());
    if (code == ERROR_FILE_NOT_FOUND) {
        return {true, "\"" + client + "\" is not registered; nothing changed"};
    }
    if (code != ERROR_SUCCESS) {
        return {false, "cannot open " + key_text(key) + ": " + error_text(code)};
    }
    std::optional<std::string> previous;
    {
        Key ours;
        code = RegOpenKeyExA(clients.get(), client.c_str(), 0, KEY_READ, ours.out());
        if (code == ERROR_FILE_NOT_FOUND) {
            return {true, "\"" + client + "\" is not registered; nothing changed"};
        }
        if (code != ERROR_SUCCESS) {
            return {false, "cannot open " + key_text(key) + "\\" + client + ": " + error_text(code)};
        }
        previous = read_text(ours.get(), kPreviousClientValue);
    }

    std::string outcome;
    std::optional<std::string> current = read_text(clients.get(), nullptr);
    if (current && *current == client) {
        if (previous) {
            code = write_text(clients.get(), nullptr, *previous);
            outcome = "the default mail client is \"" + *previous + "\" again";
        } else {
            code = RegDeleteValueA(clients.get(), nullptr);
            outcome = "there is no default mail client again, as before";
        }
        if (code != ERROR_SUCCESS) {
            return {false, "cannot restore the default of " + key_text(key) + ": " + error_text(code)};
        }
    } else {
        outcome = "the default mail client, " +
                  (current ? "\"" + *current + "\"" : std::string("none")) +
                  ", was changed since and stays";
    }
    code = RegDeleteKeyA(clients.get(), client.c_str());
    if (code != ERROR_SUCCESS) {
        return {false, "cannot remove " + key_text(key) + "\\" + client + ": " + error_text(code)};
    }
    return {true, "removed " + key_text(key) + "\\" + client + "\n" + outcome};
}

} // namespace zorva_cli

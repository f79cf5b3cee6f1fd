// Registering a Simple MAPI provider as the machine's mail client, the way
// desktop mail clients install theirs: a subkey of HKLM\Software\Clients\Mail
// whose DLLPath and DLLPathEx name the provider DLL, and the default value of
// HKLM\Software\Clients\Mail naming that subkey. The system's MAPI32.DLL
// forwards Simple MAPI calls to the DLLPath DLL; Wine's forwards
// MAPIFreeBuffer only to the DLLPathEx DLL, so both name the same file and
// every buffer the provider hands out comes back to it.
//
// mail_client_registry_win32.cpp does the work; mail_client_registry_posix.cpp
// refuses, as there is no such registry.
#ifndef ZORVA_CLI_MAIL_CLIENT_REGISTRY_H
#define ZORVA_CLI_MAIL_CLIENT_REGISTRY_H

#include <string>

namespace zorva_cli {

// The subkey zorva-mail registers, and the provider it registers by default
// (beside zorva-mail.exe).
inline constexpr const char *kMailClientName = "Zorva Mail";
inline constexpr const char *kProviderFileName = "zorva_provider.dll";

// Value names under the client's subkey.
inline constexpr const char *kDllPathValue = "DLLPath";
inline constexpr const char *kDllPathExValue = "DLLPathEx";
// The default mail client before ours, given back by unregister.
inline constexpr const char *kPreviousClientValue = "PreviousDefaultClient";

// Where the mail clients are: HKLM\Software\Clients\Mail normally; tests
// point it at a scratch key under HKCU.
struct MailClientsKey {
    bool per_user = false;
    std::string path = "Software\\Clients\\Mail";
};

struct RegistryOutcome {
    bool done = false;
    std::string message; // what was done, or why not
};

// Registers provider_dll (made a full path, and checked to be a loadable
// DLL exporting Simple MAPI's MAPILogon and MAPIFreeBuffer) as `client` and
// makes it the default, remembering the previous default. Registering
// again keeps the first remembered default.
RegistryOutcome register_mail_client(const MailClientsKey &key, const std::string &client,
                                     const std::string &provider_dll);

// Removes `client` and, if it is still the default, restores the
// remembered default (or no default, if there was none).
RegistryOutcome unregister_mail_client(const MailClientsKey &key, const std::string &client);

} // namespace zorva_cli

#endif

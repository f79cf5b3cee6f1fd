#include "mail_client_registry.h"

namespace zorva_cli {

namespace {

RegistryOutcome windows_only()
{
    return {false, "mail clients are registered in the Windows registry; run the Windows "
                   "zorva-mail.exe (under Wine: wine zorva-mail.exe register)"};
}

} // namespace

RegistryOutcome register_mail_client(const MailClientsKey &, const std::string &,
                                     const std::string &)
{
    return windows_only();
}

RegistryOutcome unregister_mail_client(const MailClientsKey &, const std::string &)
{
    return windows_only();
}

} // namespace zorva_cli

// A profile's mail server, from the keys of its section:
//   smtp_server   = mail.example.com  the server; without it mail stays queued
//   smtp_port     = 25               default 25
//   smtp_user     = ann              authenticate as this user (AUTH PLAIN or LOGIN)
//   smtp_password = ...              default: the password given at logon
//   smtp_timeout  = 30               seconds, decimals allowed; each wait for the server
//   smtp_helo     = host.example.com the name EHLO gives; default the address's domain
#ifndef ZORVA_PROVIDER_SMTP_SETTINGS_H
#define ZORVA_PROVIDER_SMTP_SETTINGS_H

#include <cstdint>
#include <string>

#include "profile_config.h"

namespace provider {

constexpr int kDefaultSmtpTimeoutMs = 30000;

struct SmtpSettings {
    bool configured = false; // the profile names a server
    std::string host;
    std::uint16_t port = 25;
    bool authenticate = false;
    std::string user;
    std::string password;
    int timeout_ms = kDefaultSmtpTimeoutMs;
    std::string client_name;
};

// The profile's settings; false with problem set when one is unusable.
bool read_smtp_settings(const Profile &profile, SmtpSettings &settings, std::string &problem);

} // namespace provider

#endif

#include "smtp_settings.h"

#include <cstdlib>

#include "mail_address.h"

namespace provider {

namespace {

std::string setting(const Profile &profile, const char *key, bool &present)
{
    auto found = profile.settings.find(key);
    present = found != profile.settings.end();
    return present ? found->second : std::string();
}

} // namespace

bool read_smtp_settings(const Profile &profile, SmtpSettings &settings, std::string &problem)
{
    settings = SmtpSettings();
    bool present = false;
    settings.host = setting(profile, "smtp_server", present);
    settings.configured = !settings.host.empty();
    if (!settings.configured) {
        return true;
    }
    std::string port = setting(profile, "smtp_port", present);
    if (present) {
        char *end = nullptr;
        long number = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end != '\0' || number < 1 || number > 65535) {
            problem = "smtp_port is not a port number: " + port;
            return false;
        }
        settings.port = static_cast<std::uint16_t>(number);
    }
    std::string timeout = setting(profile, "smtp_timeout", present);
    if (present) {
        char *end = nullptr;
        double seconds = std::strtod(timeout.c_str(), &end);
        if (timeout.empty() || *end != '\0' || !(seconds > 0.0) || seconds > 3600.0) {
            problem = "smtp_timeout is not a number of seconds up to 3600: " + timeout;
            return false;
        }
        settings.timeout_ms = static_cast<int>(seconds * 1000.0 + 0.5);
        settings.timeout_ms = settings.timeout_ms > 0 ? settings.timeout_ms : 1;
    }
    settings.user = setting(profile, "smtp_user", present);
    std::string password = setting(profile, "smtp_password", present);
    settings.password = present ? password : profile.logon_password;
    settings.authenticate = !settings.user.empty() && !settings.password.empty();
    settings.client_name = setting(profile, "smtp_helo", present);
    if (settings.client_name.empty()) {
        settings.client_name = address_domain(profile.user_address);
    }
    if (settings.client_name.empty()) {
        settings.client_name = "localhost";
    }
    return true;
}

} // namespace provider

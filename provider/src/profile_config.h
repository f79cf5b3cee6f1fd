// Profiles: the provider's configuration file, found through the
// environment variable ZORVA_PROVIDER_CONFIG or beside the provider's own
// library as zorva_provider.ini. provider/README.md describes its format.
#ifndef ZORVA_PROVIDER_PROFILE_CONFIG_H
#define ZORVA_PROVIDER_PROFILE_CONFIG_H

#include <map>
#include <string>
#include <vector>

namespace provider {

// The environment variable that names the configuration file.
extern const char *const kConfigVariable;
// The configuration file's name beside the provider's library.
extern const char *const kConfigFileName;

struct Profile {
    std::string name;
    std::string store_folder;     // absolute
    std::string user_name;        // host text
    std::string user_address;
    bool has_password = false;
    std::string password;
    // The password this session's logon gave, for a mail server that wants it.
    std::string logon_password;
    std::string address_book;     // absolute; "" when the profile has none
    std::string attachment_folder; // absolute; "" for the system's temporary folder
    // Every key of the profile's section as written, for parts of the
    // provider that have settings of their own (a transport, say).
    std::map<std::string, std::string> settings;
};

struct ProviderConfig {
    std::string path; // the file it was read from
    std::string default_profile;
    std::vector<Profile> profiles;

    // The profile of that name (compared without regard to case); null when none.
    const Profile *find(const std::string &name) const;
};

enum class ConfigStatus { Ok, Missing, Invalid };

// Where the configuration file is: the variable's value, or beside the library.
std::string config_file_path();

// Reads and checks the configuration file; problem says what is wrong.
ConfigStatus load_config(const std::string &path, ProviderConfig &config, std::string &problem);
// Parses configuration text; folder is where relative paths start.
ConfigStatus parse_config(const std::string &text, const std::string &folder, ProviderConfig &config,
                          std::string &problem);

} // namespace provider

#endif

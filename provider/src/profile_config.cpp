#include "profile_config.h"

#include "charsets.h"
#include "mime_headers.h"
#include "platform/files.h"
#include "platform/host_codepage.h"
#include "platform/system.h"

namespace provider {

const char *const kConfigVariable = "ZORVA_PROVIDER_CONFIG";
const char *const kConfigFileName = "zorva_provider.ini";

namespace {

const char *const kProfileSection = "profile";
const char *const kUtf8Mark = "\xEF\xBB\xBF";

std::string resolve(const std::string &folder, const std::string &path)
{
    if (path.empty() || is_absolute_path(path)) {
        return path;
    }
    return join_path(folder, path);
}

bool finish_profile(Profile &profile, const std::string &folder, std::string &problem)
{
    const auto &settings = profile.settings;
    auto value = [&](const char *key) {
        auto found = settings.find(key);
        return found != settings.end() ? found->second : std::string();
    };
    profile.store_folder = resolve(folder, value("store"));
    profile.user_name = value("name");
    profile.user_address = value("address");
    profile.has_password = settings.count("password") != 0;
    profile.password = value("password");
    profile.address_book = resolve(folder, value("address_book"));
    profile.attachment_folder = resolve(folder, value("attachment_folder"));
    if (profile.store_folder.empty()) {
        problem = "profile " + profile.name + " has no store";
        return false;
    }
    if (profile.user_address.empty()) {
        problem = "profile " + profile.name + " has no address";
        return false;
    }
    if (profile.user_name.empty()) {
        profile.user_name = profile.user_address;
    }
    return true;
}

} // namespace

const Profile *ProviderConfig::find(const std::string &name) const
{
    for (const Profile &profile : profiles) {
        if (equals_ignoring_case(profile.name, name)) {
            return &profile;
        }
    }
    return nullptr;
}

std::string config_file_path()
{
    std::string path;
    if (environment_value(kConfigVariable, path) && !path.empty()) {
        return path;
    }
    std::string folder = provider_folder();
    return folder.empty() ? std::string(kConfigFileName) : join_path(folder, kConfigFileName);
}

ConfigStatus parse_config(const std::string &source, const std::string &folder, ProviderConfig &config,
                          std::string &problem)
{
    config.profiles.clear();
    config.default_profile.clear();
    // Saved as UTF-8 with its mark, the text becomes host text first.
    std::string text = source;
    if (text.compare(0, 3, kUtf8Mark) == 0) {
        text = unicode_to_host(decode_utf8(text.substr(3)));
    }
    Profile *current = nullptr;
    bool in_other_section = false;
    std::size_t line_number = 0;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t end = text.find('\n', i);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = trim_blanks(text.substr(i, end - i));
        i = end + 1;
        ++line_number;
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                problem = "line " + std::to_string(line_number) + ": a section needs its closing ]";
                return ConfigStatus::Invalid;
            }
            std::string section = trim_blanks(line.substr(1, line.size() - 2));
            std::string kind = section.substr(0, section.find(' '));
            if (equals_ignoring_case(kind, kProfileSection)) {
                std::string name = trim_blanks(section.substr(kind.size()));
                if (name.empty()) {
                    problem = "line " + std::to_string(line_number) + ": a profile needs a name";
                    return ConfigStatus::Invalid;
                }
                if (config.find(name) != nullptr) {
                    problem = "line " + std::to_string(line_number) + ": profile " + name + " comes twice";
                    return ConfigStatus::Invalid;
                }
                config.profiles.emplace_back();
                current = &config.profiles.back();
                current->name = name;
                in_other_section = false;
            } else {
                current = nullptr; // sections of other parts are theirs to read
                in_other_section = true;
            }
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            problem = "line " + std::to_string(line_number) + ": expected key = value";
            return ConfigStatus::Invalid;
        }
        std::string key = lower_ascii(trim_blanks(line.substr(0, equals)));
        std::string value = trim_blanks(line.substr(equals + 1));
        if (current != nullptr) {
            current->settings[key] = value;
        } else if (!in_other_section && key == "default_profile") {
            config.default_profile = value;
        }
    }
    for (Profile &profile : config.profiles) {
        if (!finish_profile(profile, folder, problem)) {
            return ConfigStatus::Invalid;
        }
    }
    return ConfigStatus::Ok;
}

ConfigStatus load_config(const std::string &path, ProviderConfig &config, std::string &problem)
{
    std::string text;
    IoError error = read_whole_file(path, text);
    if (error != IoError::None) {
        problem = "cannot read " + path;
        return ConfigStatus::Missing;
    }
    config.path = path;
    return parse_config(text, parent_folder(path), config, problem);
}

} // namespace provider

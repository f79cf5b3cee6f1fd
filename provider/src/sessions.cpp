#include "sessions.h"

#include <chrono>
#include <cstring>
#include <map>

#include "mime_headers.h"

namespace provider {

namespace {

std::mutex sessions_mutex;

struct SessionTable {
    std::map<MapiHandle, std::shared_ptr<Session>> sessions;
    MapiHandle next_handle = 0;
};

SessionTable &table()
{
    static SessionTable sessions;
    return sessions;
}

// Handles start at a different place in every load, so a handle kept from
// an earlier load is not mistaken for a new session.
MapiHandle first_handle()
{
    const MapiHandle kHandleBase = 0x10000;
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return kHandleBase + static_cast<MapiHandle>((static_cast<unsigned long long>(ticks) >> 10) & 0xFFFF) * 0x100;
}

// A text from the caller, at most limit characters; false when longer.
bool bounded_text(const char *text, std::size_t limit, std::string &value)
{
    value.clear();
    if (text == nullptr) {
        return true;
    }
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        if (i == limit) {
            return false;
        }
        value += text[i];
    }
    return true;
}

// Finds the profile a logon names and checks its password.
MapiULong logon_profile(const std::string &name, const std::string &password, bool password_given,
                        Profile &profile)
{
    ProviderConfig config;
    std::string problem;
    if (load_config(config_file_path(), config, problem) != ConfigStatus::Ok) {
        return MAPI_E_LOGIN_FAILURE;
    }
    std::string wanted = name.empty() ? config.default_profile : name;
    const Profile *found = wanted.empty() ? nullptr : config.find(wanted);
    if (found == nullptr) {
        return MAPI_E_LOGIN_FAILURE;
    }
    if (found->has_password && (!password_given || password != found->password)) {
        return MAPI_E_LOGIN_FAILURE;
    }
    profile = *found;
    profile.logon_password = password;
    return SUCCESS_SUCCESS;
}

MapiULong open_session(const Profile &profile, std::shared_ptr<Session> &session)
{
    session = std::make_shared<Session>(profile);
    return session->store.open();
}

} // namespace

MapiULong logon(const char *profile_name, const char *password, MapiULong flags, MapiHandle *handle)
{
    if (handle == nullptr) {
        return MAPI_E_FAILURE;
    }
    std::string name;
    std::string secret;
    if (!bounded_text(profile_name, kLongestLogonText, name) || !bounded_text(password, kLongestLogonText, secret)) {
        return MAPI_E_LOGIN_FAILURE;
    }
    name = trim_blanks(name);
    Profile profile;
    MapiULong result = logon_profile(name, secret, true, profile);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    {
        std::lock_guard<std::mutex> guard(sessions_mutex);
        SessionTable &sessions = table();
        if ((flags & MAPI_NEW_SESSION) == 0) {
            for (auto &[existing_handle, existing] : sessions.sessions) {
                if (equals_ignoring_case(existing->profile.name, profile.name)) {
                    ++existing->shares;
                    *handle = existing_handle;
                    return SUCCESS_SUCCESS;
                }
            }
        }
        if (sessions.sessions.size() >= kMostSessions) {
            return MAPI_E_TOO_MANY_SESSIONS;
        }
    }
    std::shared_ptr<Session> session;
    result = open_session(profile, session);
    if (result != SUCCESS_SUCCESS) {
        return result;
    }
    std::lock_guard<std::mutex> guard(sessions_mutex);
    SessionTable &sessions = table();
    if (sessions.next_handle == 0) {
        sessions.next_handle = first_handle();
    }
    MapiHandle new_handle = sessions.next_handle++;
    sessions.sessions[new_handle] = session;
    *handle = new_handle;
    return SUCCESS_SUCCESS;
}

MapiULong logoff(MapiHandle handle)
{
    std::lock_guard<std::mutex> guard(sessions_mutex);
    SessionTable &sessions = table();
    auto found = sessions.sessions.find(handle);
    if (found == sessions.sessions.end()) {
        return MAPI_E_INVALID_SESSION;
    }
    if (--found->second->shares <= 0) {
        sessions.sessions.erase(found);
    }
    return SUCCESS_SUCCESS;
}

MapiULong SessionUse::begin(MapiHandle handle, bool allow_implicit)
{
    if (handle == 0) {
        if (!allow_implicit) {
            return MAPI_E_INVALID_SESSION;
        }
        // No prompt can be shown, so only a default profile without a password will do.
        Profile profile;
        MapiULong result = logon_profile("", "", false, profile);
        if (result != SUCCESS_SUCCESS) {
            return result;
        }
        result = open_session(profile, session_);
        if (result != SUCCESS_SUCCESS) {
            session_.reset();
            return result;
        }
    } else {
        std::lock_guard<std::mutex> guard(sessions_mutex);
        auto found = table().sessions.find(handle);
        if (found == table().sessions.end()) {
            return MAPI_E_INVALID_SESSION;
        }
        session_ = found->second;
    }
    guard_ = std::unique_lock<std::mutex>(session_->mutex);
    return SUCCESS_SUCCESS;
}

int sessions_open()
{
    std::lock_guard<std::mutex> guard(sessions_mutex);
    return static_cast<int>(table().sessions.size());
}

} // namespace provider

// Simple MAPI sessions: one per logon (or shared, when the caller does not
// ask for a new one), each bound to a profile and its mail store. Handles
// are never 0 and never reused while the provider is loaded.
#ifndef ZORVA_PROVIDER_SESSIONS_H
#define ZORVA_PROVIDER_SESSIONS_H

#include <memory>
#include <mutex>
#include <string>

#include "address_book.h"
#include "mail_store.h"
#include "mapi/simple_mapi.h"
#include "profile_config.h"

namespace provider {

// Profile names and passwords longer than this are refused.
constexpr std::size_t kLongestLogonText = 256;
// Sessions open at once in one process.
constexpr std::size_t kMostSessions = 256;

struct Session {
    Session(Profile profile_in) : profile(std::move(profile_in)), store(profile.store_folder) {}
    Profile profile;
    MailStore store;
    std::mutex mutex; // one call at a time works on a session
    int shares = 1;

    // The profile's address book, read afresh so edits show at once.
    AddressBook address_book() const { return load_address_book(profile.address_book); }
};

MapiULong logon(const char *profile_name, const char *password, MapiULong flags, MapiHandle *handle);
MapiULong logoff(MapiHandle handle);

// The session one call works with, locked for the call. Functions that
// accept session 0 get a temporary session on the default profile.
class SessionUse {
  public:
    // MAPI_E_INVALID_SESSION for an unknown handle (or 0 where it is not
    // allowed), MAPI_E_LOGIN_FAILURE when 0 cannot be logged on implicitly.
    MapiULong begin(MapiHandle handle, bool allow_implicit);
    Session &session() { return *session_; }

  private:
    std::shared_ptr<Session> session_;
    std::unique_lock<std::mutex> guard_;
};

int sessions_open();

} // namespace provider

#endif

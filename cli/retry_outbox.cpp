#include "retry_outbox.h"

#include <cstring>
#include <vector>

#include "exit_codes.h"
#include "library_loader.h"
#include "mapi/simple_mapi.h"
#include "zorva_outbox.h"

namespace zorva_cli {

namespace {

// Room for the report of a large outbox.
constexpr std::size_t kReportSize = 1 << 20;

template <typename Fn> bool find(void *library, const char *name, Fn &function)
{
    void *address = find_function(library, name);
    if (address == nullptr) {
        return false;
    }
    std::memcpy(&function, &address, sizeof function);
    return true;
}

const char *retry_words(MapiULong code)
{
    switch (code) {
    case SUCCESS_SUCCESS:
        return "the outbox is empty: every queued message was delivered";
    case MAPI_E_INVALID_RECIPS:
        return "the server refused recipients; those messages stay in the outbox";
    case MAPI_E_LOGIN_FAILURE:
        return "the server refused the authentication; the messages stay in the outbox";
    case MAPI_E_NOT_SUPPORTED:
        return "the profile names no SMTP server";
    case MAPI_E_INVALID_SESSION:
        return "invalid session";
    default:
        return "not every message was delivered; what is left stays in the outbox";
    }
}

} // namespace

int run_retry(const std::string &provider_path, const std::string &profile, const std::string &password,
              bool resend_unconfirmed, std::FILE *out, std::FILE *err)
{
    std::string error;
    void *library = load_library(provider_path, &error);
    if (library == nullptr) {
        std::fprintf(err, "zorva-mail: cannot use %s: %s\n", provider_path.c_str(), error.c_str());
        return kExitNoLibrary;
    }
    LPMAPILOGON logon = nullptr;
    LPMAPILOGOFF logoff = nullptr;
    LPZORVARETRYOUTBOX retry = nullptr;
    if (!find(library, "MAPILogon", logon) || !find(library, "MAPILogoff", logoff) ||
        !find(library, "ZorvaRetryOutbox", retry)) {
        std::fprintf(err, "zorva-mail: %s is not our provider: it lacks ZorvaRetryOutbox or MAPILogon\n",
                     provider_path.c_str());
        free_library(library);
        return kExitNoLibrary;
    }
    std::vector<char> profile_text(profile.begin(), profile.end());
    profile_text.push_back('\0');
    std::vector<char> password_text(password.begin(), password.end());
    password_text.push_back('\0');
    std::fprintf(out, "> MAPILogon(profile \"%s\", password %s)\n", profile.c_str(),
                 password.empty() ? "\"\"" : "(given)");
    MapiHandle session = 0;
    MapiULong result = logon(0, profile_text.data(), password_text.data(), MAPI_NEW_SESSION, 0, &session);
    if (result != SUCCESS_SUCCESS) {
        std::fprintf(out, "MAPILogon returned %u: the logon failed\n", static_cast<unsigned>(result));
        free_library(library);
        return kExitExportFailed;
    }
    MapiULong flags = resend_unconfirmed ? ZORVA_RETRY_UNCONFIRMED : 0;
    std::fprintf(out, "> ZorvaRetryOutbox(flags 0x%x)\n", static_cast<unsigned>(flags));
    std::vector<char> report(kReportSize, '\0');
    result = retry(session, flags, report.data(), static_cast<MapiULong>(report.size()));
    std::fprintf(out, "%s", report.data());
    std::fprintf(out, "ZorvaRetryOutbox returned %u: %s\n", static_cast<unsigned>(result), retry_words(result));
    logoff(session, 0, 0, 0);
    free_library(library);
    return result == SUCCESS_SUCCESS ? kExitSuccess : kExitExportFailed;
}

} // namespace zorva_cli

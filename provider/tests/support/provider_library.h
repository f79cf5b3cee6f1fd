// The provider as the library meets it: a library loaded at run time and
// twelve stdcall entry points found by their plain names.
#ifndef ZORVA_PROVIDER_TESTS_PROVIDER_LIBRARY_H
#define ZORVA_PROVIDER_TESTS_PROVIDER_LIBRARY_H

#include <string>

#include "mapi/simple_mapi.h"

struct ProviderFunctions {
    LPMAPILOGON MAPILogon = nullptr;
    LPMAPILOGOFF MAPILogoff = nullptr;
    LPMAPISENDMAIL MAPISendMail = nullptr;
    LPMAPISENDDOCUMENTS MAPISendDocuments = nullptr;
    LPMAPIFINDNEXT MAPIFindNext = nullptr;
    LPMAPIREADMAIL MAPIReadMail = nullptr;
    LPMAPISAVEMAIL MAPISaveMail = nullptr;
    LPMAPIDELETEMAIL MAPIDeleteMail = nullptr;
    LPMAPIFREEBUFFER MAPIFreeBuffer = nullptr;
    LPMAPIADDRESS MAPIAddress = nullptr;
    LPMAPIDETAILS MAPIDetails = nullptr;
    LPMAPIRESOLVENAME MAPIResolveName = nullptr;
};

class ProviderLibrary {
  public:
    // Loads the library at path and finds all twelve functions; throws
    // when the library or a function is missing.
    explicit ProviderLibrary(const std::string &path);
    ~ProviderLibrary();
    ProviderLibrary(const ProviderLibrary &) = delete;
    ProviderLibrary &operator=(const ProviderLibrary &) = delete;

    const ProviderFunctions *operator->() const { return &functions_; }
    const ProviderFunctions &functions() const { return functions_; }

  private:
    void *module_ = nullptr;
    ProviderFunctions functions_;
};

#endif

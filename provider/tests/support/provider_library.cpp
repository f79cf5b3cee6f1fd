#include "provider_library.h"

#include <cstring>
#include <stdexcept>

#include "test_host.h"

namespace {

template <typename Fn> void bind(void *module, const char *name, Fn &function)
{
    void *address = test_host::find_function(module, name);
    if (address == nullptr) {
        throw std::runtime_error(std::string("provider lacks ") + name);
    }
    std::memcpy(&function, &address, sizeof function);
}

} // namespace

ProviderLibrary::ProviderLibrary(const std::string &path)
{
    module_ = test_host::load_library(path);
    if (module_ == nullptr) {
        throw std::runtime_error("cannot load " + path);
    }
    ProviderFunctions &f = functions_;
    bind(module_, "MAPILogon", f.MAPILogon);
    bind(module_, "MAPILogoff", f.MAPILogoff);
    bind(module_, "MAPISendMail", f.MAPISendMail);
    bind(module_, "MAPISendDocuments", f.MAPISendDocuments);
    bind(module_, "MAPIFindNext", f.MAPIFindNext);
    bind(module_, "MAPIReadMail", f.MAPIReadMail);
    bind(module_, "MAPISaveMail", f.MAPISaveMail);
    bind(module_, "MAPIDeleteMail", f.MAPIDeleteMail);
    bind(module_, "MAPIFreeBuffer", f.MAPIFreeBuffer);
    bind(module_, "MAPIAddress", f.MAPIAddress);
    bind(module_, "MAPIDetails", f.MAPIDetails);
    bind(module_, "MAPIResolveName", f.MAPIResolveName);
}

ProviderLibrary::~ProviderLibrary()
{
    if (module_ != nullptr) {
        test_host::free_library(module_);
    }
}

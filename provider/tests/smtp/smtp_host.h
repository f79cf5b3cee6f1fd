// What the SMTP tests need from the system beyond the shared test host:
// making our provider the MAPI32.DLL the library loads,
// and where the built provider and the test server's folder are.
// smtp_host_posix.cpp and smtp_host_win32.cpp implement it.
#ifndef ZORVA_PROVIDER_TESTS_SMTP_HOST_H
#define ZORVA_PROVIDER_TESTS_SMTP_HOST_H

#include <string>

namespace smtp_host {

// The library's next load of MAPI32.DLL finds our provider.
void use_our_provider();
// The provider's MAPI32.DLL copy, for calling its own export directly.
std::string provider_path();
// The test server's folder (ZORVA_SMTP_TEST_SERVER), as this program names it.
std::string server_folder();
// Releases a library loaded with host_platform::load_library.
void free_library(void *library);

} // namespace smtp_host

#endif

// What a test host needs from the platform: loading the library under
// test, choosing which test provider the library will find as MAPI32.DLL,
// and capturing what the library prints on standard output.
#ifndef ZORVA_TESTS_HOST_PLATFORM_H
#define ZORVA_TESTS_HOST_PLATFORM_H

#include <string>

namespace host_platform {

// The library under test: zorva_mapi.dll or libzorva_mapi.so.
std::string library_path();
void *load_library(const std::string &path);
void *find_function(void *library, const char *name);
// Windows only: the export with this ordinal; null elsewhere.
void *find_ordinal(void *library, int ordinal);

// Which MAPI32.DLL the library's next bind finds: one of the test
// provider's variants, our own provider, or none at all.
enum class Provider { Full, WithoutDetails, Ours, None };
void select_provider(Provider provider);

// Sets a variable of this process's environment, as a provider reads it.
void set_environment(const std::string &name, const std::string &value);

// Redirects standard output (the C runtime's, shared with the library)
// into a temporary file until stop_capture returns what was written.
void start_capture();
std::string stop_capture();

} // namespace host_platform

#endif

// Where zorva-mail meets the operating system's loader and file system:
// library_loader_win32.cpp (LoadLibraryA, GetProcAddress, FreeLibrary) and
// library_loader_posix.cpp (dlopen, dlsym, dlclose).
#ifndef ZORVA_CLI_LIBRARY_LOADER_H
#define ZORVA_CLI_LIBRARY_LOADER_H

#include <string>

namespace zorva_cli {

// zorva_mapi.dll, or libzorva_mapi.so natively.
extern const char *const kLibraryFileName;
// zorva_provider.dll, or libzorva_provider.so natively.
extern const char *const kProviderLibraryFileName;

// Loads a library by path; null with *error set on failure.
void *load_library(const std::string &path, std::string *error);
// Finds an exported function by name; null when it is not there.
void *find_function(void *library, const char *name);
void free_library(void *library);

// The folder holding the running program, without a trailing separator.
std::string program_folder();
std::string path_in_folder(const std::string &folder, const std::string &file);

} // namespace zorva_cli

#endif

/* Loading a library at run time: the only place the library meets the
 * operating system's loader. library_loader_win32.c wraps LoadLibraryA,
 * GetProcAddress and FreeLibrary; library_loader_posix.c wraps dlopen,
 * dlsym and dlclose. */
#ifndef ZORVA_PLATFORM_LIBRARY_LOADER_H
#define ZORVA_PLATFORM_LIBRARY_LOADER_H

#include <stdint.h>

/* A loaded library's handle as the loader returned it, read as a number. */
typedef uintptr_t LibraryHandle;

/* Loads the named library by the platform's usual search; 0 on failure. */
LibraryHandle platform_load_library(const char *name);

/* Finds an exported function by name; null when it is not there. */
void (*platform_find_function(LibraryHandle library, const char *name))(void);

/* Releases a library loaded by platform_load_library. */
void platform_free_library(LibraryHandle library);

#endif

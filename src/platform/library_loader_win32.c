#include "library_loader.h"

#include <windows.h>

LibraryHandle platform_load_library(const char *name)
{
    return (LibraryHandle)LoadLibraryA(name);
}

void (*platform_find_function(LibraryHandle library, const char *name))(void)
{
    return (void (*)(void))GetProcAddress((HMODULE)library, name);
}

void platform_free_library(LibraryHandle library)
{
    FreeLibrary((HMODULE)library);
}

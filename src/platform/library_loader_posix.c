#include "library_loader.h"

#include <dlfcn.h>
#include <string.h>

LibraryHandle platform_load_library(const char *name)
{
    return (LibraryHandle)dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

void (*platform_find_function(LibraryHandle library, const char *name))(void)
{
    /* dlsym returns an object pointer; copy it into a function pointer
     * without a cast that ISO C leaves undefined. */
    void *symbol = dlsym((void *)library, name);
    void (*function)(void) = 0;
    if (symbol != 0) {
        memcpy(&function, &symbol, sizeof function);
    }
    return function;
}

void platform_free_library(LibraryHandle library)
{
    dlclose((void *)library);
}

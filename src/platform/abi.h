/* Calling conventions and symbol visibility of the two targets.
 *
 * The library's own exports are cdecl with undecorated names; the Simple
 * MAPI provider's functions are stdcall on 32-bit Windows. On other
 * platforms both conventions are the native one. */
#ifndef ZORVA_PLATFORM_ABI_H
#define ZORVA_PLATFORM_ABI_H

#if defined(_WIN32)
#define ZORVA_CDECL __cdecl
#define ZORVA_STDCALL __stdcall
/* The export definition file names the exports and their ordinals. */
#define ZORVA_EXPORT
#else
#define ZORVA_CDECL
#define ZORVA_STDCALL
#define ZORVA_EXPORT __attribute__((visibility("default")))
#endif

#endif

/* The library's version, as mapi_version reports it and as the version
 * resource states it. */
#ifndef ZORVA_HOST_VERSION_H
#define ZORVA_HOST_VERSION_H

/* 19 characters and the terminator: exactly what mapi_version writes. */
#define VERSION_TEXT "1.06 01/12/2000 KXB"
#define VERSION_TEXT_SIZE 20

#endif

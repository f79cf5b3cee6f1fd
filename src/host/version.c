#include <string.h>

#include "exports.h"
#include "version.h"

void ZORVA_CDECL mapi_version(char *version)
{
    memcpy(version, VERSION_TEXT, VERSION_TEXT_SIZE);
}

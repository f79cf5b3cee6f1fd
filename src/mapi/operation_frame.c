#include <stdio.h>

#include "../host/diagnostics.h"
#include "mapi_binding.h"

int mapi_frame_open(char *profile, char *password, MapiHandle *session)
{
    *session = 0;
    if (mapi_bind() != MAPI_BIND_OK) {
        printf("%s", DIAG_BIND_FAILED);
        return -1;
    }
    if (mapi_entries.logon(0, profile, password, MAPI_FRAME_LOGON_FLAGS, 0, session) != 0) {
        printf("%s", DIAG_LOGON_FAILED);
        mapi_unbind();
        return -1;
    }
    return 0;
}

int mapi_frame_close(MapiHandle session, const char *logoff_text)
{
    if (mapi_entries.logoff(session, 0, 0, 0) != 0) {
        mapi_unbind();
        printf("%s", logoff_text);
        return -1;
    }
    mapi_unbind();
    return 0;
}

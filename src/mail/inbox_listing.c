#include <stdio.h>

#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"

/* Not built yet: runs the frame and reports failure, never a success it did not have. */
int mail_inbox(char *profile, char *password)
{
    MapiHandle session;
    printf("%s", DIAG_INBOX_HEADER);
    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }
    mapi_frame_close(session, DIAG_LOGOFF_FAILED);
    return -1;
}

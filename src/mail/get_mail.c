#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"

/* Not built yet: runs the frame and reports failure, never a success it did not have. */
int mail_get(char *message_id, char *profile, char *password, char *report, char *mode, char *unread_only, char *new_subject)
{
    MapiHandle session;
    (void)message_id;
    (void)report;
    (void)mode;
    (void)unread_only;
    (void)new_subject;
    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }
    mapi_frame_close(session, DIAG_LOGOFF_FAILED);
    return -1;
}

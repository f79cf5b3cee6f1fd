#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"

/* Not built yet: runs the frame and reports failure, never a success it did not have. */
int mail_send(char *profile, char *password, char *recipients, char *subject, char *note_text, char *attachments)
{
    MapiHandle session;
    (void)recipients;
    (void)subject;
    (void)note_text;
    (void)attachments;
    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }
    mapi_frame_close(session, DIAG_LOGOFF_FAILED);
    return -1;
}

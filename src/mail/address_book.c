#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"

/* Not built yet: runs the frame and reports failure, never a success it did not have. */
int mail_address_book(char *profile, char *password, char *initial_recipients, char *recipients_out)
{
    MapiHandle session;
    (void)initial_recipients;
    (void)recipients_out;
    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }
    mapi_frame_close(session, DIAG_ADDRESS_BOOK_LOGOFF_FAILED);
    return -1;
}

#include <stdio.h>

#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"
#include "message_cursor.h"
#include "message_report.h"
#include "text_copy.h"

/* Read and unread messages alike, in order of arrival. */
#define INBOX_SEARCH_FLAGS MAPI_GUARANTEE_FIFO
/* The listing needs only the header. */
#define INBOX_READ_FLAGS MAPI_ENVELOPE_ONLY

static const MapiMessage no_fields;

/* Prints one listing line after the ID already printed: date, tab, subject,
 * line feed. Returns 0, or -1 after printing the diagnostic of a failed read
 * or release. */
static int list_current(MapiHandle session, char *scratch)
{
    MapiMessage *message = NULL;
    const MapiMessage *fields;
    MapiULong code = mapi_entries.read_mail(session, 0, message_cursor.message_id_buffer,
                                            INBOX_READ_FLAGS, 0, &message);
    if (code != SUCCESS_SUCCESS) {
        printf(DIAG_READ_FAILED_FORMAT, (unsigned)code);
        return -1;
    }
    /* A provider that reports success without a message lists empty fields. */
    fields = message != NULL ? message : &no_fields;
    copy_or_empty(scratch, SCRATCH_TEXT_SIZE, fields->lpszDateReceived);
    printf("%s\t", scratch);
    copy_or_empty(scratch, SCRATCH_TEXT_SIZE, fields->lpszSubject);
    printf("%s\n", scratch);
    if (message != NULL && mapi_entries.free_buffer(message) != SUCCESS_SUCCESS) {
        printf("%s", DIAG_FREE_FAILED);
        return -1;
    }
    return 0;
}

int mail_inbox(char *profile, char *password)
{
    char scratch[SCRATCH_TEXT_SIZE];
    MapiHandle session;
    int result = 0;
    MapiULong found;

    printf("%s", DIAG_INBOX_HEADER);
    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }
    reset_seed();
    found = find_next(session, INBOX_SEARCH_FLAGS);
    while (found == SUCCESS_SUCCESS) {
        printf("%s\t", message_cursor.message_id_buffer);
        if (list_current(session, scratch) != 0) {
            /* The listing stops, but the session and binding are still closed. */
            result = -1;
            break;
        }
        adopt_current();
        found = find_next(session, INBOX_SEARCH_FLAGS);
    }
    if (mapi_frame_close(session, DIAG_LOGOFF_FAILED) != 0) {
        return -1;
    }
    return result;
}

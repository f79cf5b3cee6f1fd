#include <stdio.h>
#include <string.h>

#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"
#include "pipe_list.h"

/* Dialog settings: our caption, three edit fields (To, Cc, Bcc), the
 * provider's own labels, flags 0. */
#define ADDRESS_BOOK_CAPTION "Zorva Addressing"
#define ADDRESS_BOOK_EDIT_FIELDS 3u
#define ADDRESS_BOOK_FLAGS 0u

/* The result of a dialog that failed or was cancelled. */
#define ADDRESS_BOOK_DIALOG_FAILED 1

int mail_address_book(char *profile, char *password, char *initial_recipients,
                      char *recipients_out)
{
    TokenTable initial_tokens;
    MapiRecipDesc initial_records[RECIPIENT_RECORDS];
    MapiULong initial_count = 0;
    char caption[] = ADDRESS_BOOK_CAPTION;
    MapiULong chosen_count = 0;
    MapiRecipDesc *chosen = NULL;
    MapiHandle session;
    int result;

    /* An initial list that does not fit is refused before the mail system is touched. */
    if (strcmp(initial_recipients, ABSENT_MARKER) != 0) {
        int last = split_pipe_list(initial_recipients, &initial_tokens);
        if (last == PIPE_LIST_TOO_LONG) {
            printf("%s", DIAG_RECIPIENTS_TOO_LONG);
            return -1;
        }
        initial_count = (MapiULong)build_recipient_list(&initial_tokens, last, initial_records);
    }

    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }

    if (mapi_entries.address(session, 0, caption, ADDRESS_BOOK_EDIT_FIELDS, NULL, initial_count,
                             initial_records, ADDRESS_BOOK_FLAGS, 0, &chosen_count,
                             &chosen) != SUCCESS_SUCCESS) {
        /* Cancelled or failed: the host's buffer stays as it was. */
        if (mapi_entries.free_buffer(chosen) != SUCCESS_SUCCESS) {
            printf("%s", DIAG_FREE_FAILED);
        }
        mapi_frame_close(session, DIAG_ADDRESS_BOOK_LOGOFF_FAILED);
        return ADDRESS_BOOK_DIALOG_FAILED;
    }

    format_recipient_list(chosen, chosen_count, recipients_out);

    /* A refused release still closes the session and lets the provider go. */
    result = 0;
    if (mapi_entries.free_buffer(chosen) != SUCCESS_SUCCESS) {
        printf("%s", DIAG_FREE_FAILED);
        result = -1;
    }
    if (mapi_frame_close(session, DIAG_ADDRESS_BOOK_LOGOFF_FAILED) != 0) {
        result = -1;
    }
    return result;
}

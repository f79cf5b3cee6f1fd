#include <stdio.h>
#include <string.h>

#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"
#include "pipe_list.h"

/* Display name of the originator record every message carries. */
#define ORIGINATOR_NAME "ONE"

/* MAPISendMail flags: no dialog, no logon prompt. */
#define SEND_MAIL_FLAGS 0u

/* Every carriage return becomes a line feed, in the host's own buffer: the
 * text keeps its length, and no working copy limits how long it may be. */
static void normalise_note_text(char *note_text)
{
    char *at;
    for (at = note_text; *at != '\0'; ++at) {
        if (*at == '\r') {
            *at = '\n';
        }
    }
}

int mail_send(char *profile, char *password, char *recipients, char *subject, char *note_text,
              char *attachments)
{
    TokenTable recipient_tokens;
    TokenTable attachment_tokens;
    MapiRecipDesc recipient_records[RECIPIENT_RECORDS];
    MapiFileDesc attachment_records[ATTACHMENT_RECORDS];
    MapiULong recipient_count;
    MapiULong attachment_count;
    char originator_name[] = ORIGINATOR_NAME;
    MapiRecipDesc originator;
    MapiMessage message;
    MapiHandle session;
    MapiULong code;

    normalise_note_text(note_text);

    /* Lists that do not fit their tables are refused before the mail system is touched. */
    recipient_count = 0;
    if (strcmp(recipients, ABSENT_MARKER) != 0) {
        int last = split_pipe_list(recipients, &recipient_tokens);
        if (last == PIPE_LIST_TOO_LONG) {
            printf("%s", DIAG_RECIPIENTS_TOO_LONG);
            return -1;
        }
        recipient_count =
            (MapiULong)build_recipient_list(&recipient_tokens, last, recipient_records);
    }
    attachment_count = 0;
    if (strcmp(attachments, ABSENT_MARKER) != 0) {
        int last = split_pipe_list(attachments, &attachment_tokens);
        if (last == PIPE_LIST_TOO_LONG) {
            printf("%s", DIAG_ATTACHMENTS_TOO_LONG);
            return -1;
        }
        attachment_count =
            (MapiULong)build_attachment_list(&attachment_tokens, last, attachment_records);
    }

    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }

    memset(&originator, 0, sizeof originator);
    originator.ulRecipClass = MAPI_ORIG;
    originator.lpszName = originator_name;

    memset(&message, 0, sizeof message);
    message.lpszSubject = subject;
    message.lpszNoteText = note_text;
    message.lpOriginator = &originator;
    message.nRecipCount = recipient_count;
    message.lpRecips = recipient_records;
    message.nFileCount = attachment_count;
    message.lpFiles = attachment_records;

    code = mapi_entries.send_mail(session, 0, &message, SEND_MAIL_FLAGS, 0);
    if (code != SUCCESS_SUCCESS) {
        printf(DIAG_SEND_FAILED_FORMAT, (unsigned)code);
        mapi_frame_close(session, DIAG_LOGOFF_FAILED);
        return -1;
    }
    return mapi_frame_close(session, DIAG_LOGOFF_FAILED);
}

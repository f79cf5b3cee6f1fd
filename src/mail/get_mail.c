#include <stdio.h>
#include <string.h>

#include "../host/diagnostics.h"
#include "../mapi/mapi_binding.h"
#include "mail_ops.h"
#include "message_cursor.h"
#include "message_report.h"
#include "text_copy.h"

/* Mode words, compared exactly; any other word peeks. */
#define MODE_WORD_MARK "M"
#define MODE_WORD_DELETE "D"
#define MODE_WORD_UPDATE "U"
/* The unread-only switch, compared exactly. */
#define UNREAD_ONLY_WORD "U"

/* Results of GETMAIL besides 0 and -1. */
#define GET_NO_MESSAGE 1
#define GET_DELETE_FAILED (-2)
#define GET_SAVE_FAILED (-9)

/* The host's message-ID buffer holds one found ID. */
#define HOST_MESSAGE_ID_SIZE CURSOR_ID_SIZE

typedef enum GetMode { GET_PEEK, GET_MARK, GET_DELETE, GET_UPDATE } GetMode;

static GetMode decide_mode(const char *mode)
{
    if (strcmp(mode, MODE_WORD_MARK) == 0) {
        return GET_MARK;
    }
    if (strcmp(mode, MODE_WORD_DELETE) == 0) {
        return GET_DELETE;
    }
    if (strcmp(mode, MODE_WORD_UPDATE) == 0) {
        return GET_UPDATE;
    }
    return GET_PEEK;
}

/* Leaves message_id_buffer at the message after the host's (the first one
 * for "NULL") and returns whether it was found. Each call searches from the
 * first message, as the mail system holds no position between sessions. */
static MapiULong find_message_after(MapiHandle session, const char *host_id, MapiULong flags)
{
    MapiULong found;

    reset_seed();
    found = find_next(session, flags);
    if (strcmp(host_id, ABSENT_MARKER) == 0) {
        return found;
    }
    while (found == SUCCESS_SUCCESS && strcmp(message_cursor.message_id_buffer, host_id) != 0) {
        found = advance_seed(session, flags);
    }
    if (found == SUCCESS_SUCCESS) {
        found = advance_seed(session, flags);
    }
    return found;
}

static int delete_found(MapiHandle session)
{
    if (mapi_entries.delete_mail(session, 0, message_cursor.message_id_buffer, 0, 0) !=
        SUCCESS_SUCCESS) {
        return GET_DELETE_FAILED;
    }
    return 0;
}

/* Reads the found message (marking it read), gives it the new subject and
 * saves it over itself. */
static int update_found(MapiHandle session, char *new_subject)
{
    MapiMessage *message = NULL;
    char *old_subject;
    int result = 0;
    MapiULong code =
        mapi_entries.read_mail(session, 0, message_cursor.message_id_buffer, 0, 0, &message);
    if (code != SUCCESS_SUCCESS) {
        printf(DIAG_READ_FAILED_FORMAT, (unsigned)code);
        return GET_NO_MESSAGE;
    }
    if (message == NULL) {
        /* Nothing to save: saving an empty message would lose the real one. */
        return GET_NO_MESSAGE;
    }
    old_subject = message->lpszSubject;
    message->lpszSubject = new_subject;
    if (mapi_entries.save_mail(session, 0, message, 0, 0, message_cursor.message_id_buffer) !=
        SUCCESS_SUCCESS) {
        result = GET_SAVE_FAILED;
    }
    /* The provider releases its own message, never the host's text. */
    message->lpszSubject = old_subject;
    if (mapi_entries.free_buffer(message) != SUCCESS_SUCCESS) {
        printf("%s", DIAG_FREE_FAILED);
    }
    return result;
}

/* Hands the found message's ID and report to the host, reading it with
 * read_flags. */
static int report_found(MapiHandle session, MapiULong read_flags, char *message_id,
                        char *report_out)
{
    static const MapiMessage no_fields;
    char report[REPORT_TEXT_SIZE];
    MapiMessage *message = NULL;
    MapiULong code;

    /* The host's ID advances even when the read then fails. */
    copy_text(message_id, HOST_MESSAGE_ID_SIZE, message_cursor.message_id_buffer);
    code = mapi_entries.read_mail(session, 0, message_cursor.message_id_buffer, read_flags, 0,
                                  &message);
    if (code != SUCCESS_SUCCESS) {
        printf(DIAG_READ_FAILED_FORMAT, (unsigned)code);
        return GET_NO_MESSAGE;
    }
    /* A provider that reports success without a message gives empty fields. */
    build_report(message != NULL ? message : &no_fields, report);
    if (message != NULL && mapi_entries.free_buffer(message) != SUCCESS_SUCCESS) {
        printf("%s", DIAG_FREE_FAILED);
        return -1;
    }
    adopt_current();
    copy_text(report_out, REPORT_TEXT_SIZE, report);
    return 0;
}

int mail_get(char *message_id, char *profile, char *password, char *report, char *mode,
             char *unread_only, char *new_subject)
{
    MapiHandle session;
    MapiULong flags = MAPI_GUARANTEE_FIFO;
    GetMode get_mode;
    int result;

    if (mapi_frame_open(profile, password, &session) != 0) {
        return -1;
    }
    get_mode = decide_mode(mode);
    if (strcmp(unread_only, UNREAD_ONLY_WORD) == 0) {
        flags |= MAPI_UNREAD_ONLY;
    }

    /* Every mode acts on the message found, or on none. */
    if (find_message_after(session, message_id, flags) != SUCCESS_SUCCESS) {
        result = GET_NO_MESSAGE;
    } else if (get_mode == GET_DELETE) {
        result = delete_found(session);
    } else if (get_mode == GET_UPDATE) {
        result = update_found(session, new_subject);
    } else {
        result = report_found(session, get_mode == GET_MARK ? 0 : MAPI_PEEK, message_id, report);
    }

    /* Even after a failed release the session is closed and the provider released. */
    if (mapi_frame_close(session, DIAG_LOGOFF_FAILED) != 0) {
        return -1;
    }
    return result;
}

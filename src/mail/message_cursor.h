/* The process-wide search position shared by INBOX and GETMAIL: a seed to
 * continue after and a buffer for the ID found. It holds only text, as no
 * mail-system session outlives a call. */
#ifndef ZORVA_MAIL_MESSAGE_CURSOR_H
#define ZORVA_MAIL_MESSAGE_CURSOR_H

#include "../mapi/simple_mapi.h"

/* Both buffers hold one message ID as MAPIFindNext writes it. */
#define CURSOR_ID_SIZE MAPI_MESSAGE_ID_SIZE

typedef struct MessageCursor {
    char seed_buffer[CURSOR_ID_SIZE];       /* a seed kept apart from the found ID */
    char message_id_buffer[CURSOR_ID_SIZE]; /* the ID most recently found */
    char *seed_ref;                         /* the buffer passed as the seed */
} MessageCursor;

/* Lives from loading to unloading; one mail function runs at a time. */
extern MessageCursor message_cursor;

/* Empties the seed, so that the next search starts at the first message. */
void reset_seed(void);

/* One MAPIFindNext after the seed, the found ID going to message_id_buffer.
 * Returns the provider's code; a search that hands back its own seed ends
 * the walk with MAPI_E_NO_MESSAGES, so a provider that ignores seeds cannot
 * keep a walk going for ever. */
MapiULong find_next(MapiHandle session, MapiULong flags);

/* Copies the found ID into seed_buffer, then find_next. */
MapiULong advance_seed(MapiHandle session, MapiULong flags);

/* From now on the seed is the found ID itself. */
void adopt_current(void);

#endif

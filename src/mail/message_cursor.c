#include "message_cursor.h"

#include <string.h>

#include "../mapi/mapi_binding.h"
#include "text_copy.h"

MessageCursor message_cursor = {"", "", message_cursor.seed_buffer};

void reset_seed(void)
{
    message_cursor.seed_ref[0] = '\0';
}

MapiULong find_next(MapiHandle session, MapiULong flags)
{
    char seed[CURSOR_ID_SIZE];
    MapiULong code;

    /* The seed may be the found ID's own buffer, which the search overwrites. */
    copy_text(seed, sizeof seed, message_cursor.seed_ref);
    code = mapi_entries.find_next(session, 0, 0, message_cursor.seed_ref, flags, 0,
                                  message_cursor.message_id_buffer);
    /* An ID that fills the whole buffer is cut, never left unterminated. */
    message_cursor.message_id_buffer[CURSOR_ID_SIZE - 1] = '\0';
    if (code == SUCCESS_SUCCESS && seed[0] != '\0' &&
        strcmp(seed, message_cursor.message_id_buffer) == 0) {
        return MAPI_E_NO_MESSAGES;
    }
    return code;
}

MapiULong advance_seed(MapiHandle session, MapiULong flags)
{
    copy_text(message_cursor.seed_buffer, sizeof message_cursor.seed_buffer,
              message_cursor.message_id_buffer);
    return find_next(session, flags);
}

void adopt_current(void)
{
    message_cursor.seed_ref = message_cursor.message_id_buffer;
}

#include "pipe_list.h"

#include <string.h>

/* The table, not the record array, limits how many recipients a list has. */
_Static_assert((TOKEN_TABLE_SLOTS - 1) / RECIPIENT_FIELDS + 1 <= RECIPIENT_RECORDS,
               "a full token table must fit the recipient records");

/* Positions within one recipient's group of tokens. */
#define FIELD_CLASS 0
#define FIELD_NAME 1
#define FIELD_ADDRESS 2

static const struct {
    const char *word;
    MapiULong recip_class;
} class_words[] = {
    {"TO", MAPI_TO},
    {"CC", MAPI_CC},
    {"BCC", MAPI_BCC},
};

#define CLASS_WORD_COUNT (sizeof class_words / sizeof class_words[0])

static MapiULong class_of_word(const char *word)
{
    size_t i;
    for (i = 0; i < CLASS_WORD_COUNT; ++i) {
        if (strcmp(word, class_words[i].word) == 0) {
            return class_words[i].recip_class;
        }
    }
    return 0;
}

static const char *word_of_class(MapiULong recip_class)
{
    size_t i;
    for (i = 0; i < CLASS_WORD_COUNT; ++i) {
        if (class_words[i].recip_class == recip_class) {
            return class_words[i].word;
        }
    }
    return "";
}

int split_pipe_list(const char *text, TokenTable *table)
{
    int last = 0;
    size_t length = 0;

    table->slot[0][0] = '\0';
    for (; *text != '\0'; ++text) {
        if (*text == PIPE_LIST_SEPARATOR) {
            if (last + 1 >= TOKEN_TABLE_SLOTS) {
                return PIPE_LIST_TOO_LONG;
            }
            ++last;
            length = 0;
        } else {
            if (length + 1 >= TOKEN_SLOT_SIZE) {
                return PIPE_LIST_TOO_LONG;
            }
            table->slot[last][length++] = *text;
        }
        table->slot[last][length] = '\0';
    }
    return last;
}

int build_recipient_list(TokenTable *table, int last, MapiRecipDesc *records)
{
    int i;
    if (last < 0) {
        return 0;
    }
    for (i = 0; i <= last; ++i) {
        MapiRecipDesc *record = &records[i / RECIPIENT_FIELDS];
        char *token = table->slot[i];
        switch (i % RECIPIENT_FIELDS) {
        case FIELD_CLASS:
            /* Whatever the group leaves unset stays zero or null. */
            memset(record, 0, sizeof *record);
            record->ulRecipClass = class_of_word(token);
            break;
        case FIELD_NAME:
            record->lpszName = token;
            break;
        case FIELD_ADDRESS:
            record->lpszAddress = token;
            break;
        }
    }
    return last / RECIPIENT_FIELDS + 1;
}

int build_attachment_list(TokenTable *table, int last, MapiFileDesc *records)
{
    int i;
    if (last < 0) {
        return 0;
    }
    for (i = 0; i <= last; ++i) {
        memset(&records[i], 0, sizeof records[i]);
        records[i].lpszPathName = table->slot[i];
    }
    return last + 1;
}

/* Appends text (nothing for null) at `at`; returns the new end, kept zero-terminated. */
static char *append(char *at, const char *text)
{
    if (text != NULL) {
        size_t length = strlen(text);
        memcpy(at, text, length);
        at += length;
    }
    *at = '\0';
    return at;
}

size_t format_recipient_list(const MapiRecipDesc *records, MapiULong count, char *out)
{
    static const char separator[] = {PIPE_LIST_SEPARATOR, '\0'};
    char *at = out;
    MapiULong i;

    *at = '\0';
    for (i = 0; records != NULL && i < count; ++i) {
        if (i > 0) {
            at = append(at, separator);
        }
        at = append(at, word_of_class(records[i].ulRecipClass));
        at = append(at, separator);
        at = append(at, records[i].lpszName);
        at = append(at, separator);
        at = append(at, records[i].lpszAddress);
    }
    return (size_t)(at - out);
}

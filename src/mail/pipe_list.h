/* The pipe-delimited list forms in which recipients and attachments cross
 * the host boundary, and their conversion to and from Simple MAPI records.
 *
 * Recipient list: tokens separated by "|", in groups of three: class word
 * ("TO", "CC" or "BCC"), display name, address. Attachment list: one file
 * path per token. */
#ifndef ZORVA_MAIL_PIPE_LIST_H
#define ZORVA_MAIL_PIPE_LIST_H

#include <stddef.h>

#include "../mapi/simple_mapi.h"

#ifdef __cplusplus
extern "C" {
#endif

#define PIPE_LIST_SEPARATOR '|'

/* A list holds at most TOKEN_TABLE_SLOTS tokens of at most
 * TOKEN_SLOT_SIZE - 1 characters each. */
#define TOKEN_TABLE_SLOTS 80
#define TOKEN_SLOT_SIZE 80

/* split_pipe_list's answer for a list that does not fit the table. */
#define PIPE_LIST_TOO_LONG (-1)

/* Tokens per recipient: class word, display name, address. */
#define RECIPIENT_FIELDS 3

/* Record arrays an operation owns for one call. */
#define RECIPIENT_RECORDS 40
#define ATTACHMENT_RECORDS TOKEN_TABLE_SLOTS

/* Slot k holds token k as zero-terminated text. */
typedef struct TokenTable {
    char slot[TOKEN_TABLE_SLOTS][TOKEN_SLOT_SIZE];
} TokenTable;

/* Splits text at every "|" into the table, nothing trimmed: an empty text
 * is one empty token, a trailing "|" adds an empty last token. Returns the
 * index of the last token (the number of "|"), or PIPE_LIST_TOO_LONG when
 * a token or the token count exceeds the table; then the table holds
 * nothing usable. */
int split_pipe_list(const char *text, TokenTable *table);

/* Fills one recipient record per group of three tokens, 0 to last (as
 * split_pipe_list returned it), and returns their count, last / 3 + 1.
 * The records point into the table. A class word other than "TO", "CC"
 * or "BCC" (exact case) gives class 0; a short last group leaves its name
 * or address null; reserved and entry-identifier fields are always 0. */
int build_recipient_list(TokenTable *table, int last, MapiRecipDesc *records);

/* Fills one attachment record per token, 0 to last: the token as path,
 * position 0, no file name, no type. Returns last + 1. */
int build_attachment_list(TokenTable *table, int last, MapiFileDesc *records);

/* Writes count records as recipient list text into out, whose size the
 * host chose: class word (nothing for a class other than 1, 2 or 3), "|",
 * name, "|", address, with "|" between records; a null name or address is
 * written empty. No records give an empty text. Returns the text's
 * length. */
size_t format_recipient_list(const MapiRecipDesc *records, MapiULong count, char *out);

#ifdef __cplusplus
}
#endif

#endif

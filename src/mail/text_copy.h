/* Bounded copies of texts into fixed-size buffers. */
#ifndef ZORVA_MAIL_TEXT_COPY_H
#define ZORVA_MAIL_TEXT_COPY_H

#include <stddef.h>

/* Copies source into destination (size bytes, size > 0), cut to size - 1
 * characters; the result is always terminated. Returns its length. */
size_t copy_text(char *destination, size_t size, const char *source);

/* copy_text, or an empty destination when source is null: how a field of a
 * message handed out by the provider is shown. */
size_t copy_or_empty(char *destination, size_t size, const char *source);

#endif

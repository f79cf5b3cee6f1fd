#include "text_copy.h"

#include <string.h>

size_t copy_text(char *destination, size_t size, const char *source)
{
    size_t length = 0;
    while (length + 1 < size && source[length] != '\0') {
        ++length;
    }
    memmove(destination, source, length);
    destination[length] = '\0';
    return length;
}

size_t copy_or_empty(char *destination, size_t size, const char *source)
{
    if (source == NULL) {
        destination[0] = '\0';
        return 0;
    }
    return copy_text(destination, size, source);
}

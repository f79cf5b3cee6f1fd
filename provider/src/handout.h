// Memory handed to the caller: every message and recipient array the
// provider gives out is one block, released by one MAPIFreeBuffer. The
// provider remembers its blocks, so a pointer it did not hand out, or one
// already released, is refused instead of corrupting the heap.
#ifndef ZORVA_PROVIDER_HANDOUT_H
#define ZORVA_PROVIDER_HANDOUT_H

#include <string>
#include <vector>

#include "mapi/simple_mapi.h"

namespace provider {

struct RecipientOut {
    MapiULong recip_class = MAPI_TO;
    std::string name;
    std::string address;
    std::string entry_id; // bytes; none when empty
};

struct FileOut {
    bool has_path = false; // false: no file was written, the path is null
    std::string path_name;
    std::string file_name;
};

struct MessageOut {
    std::string subject;
    bool has_note_text = true; // false: the note text is null
    std::string note_text;
    std::string date_received;
    MapiULong flags = 0;
    RecipientOut originator;
    std::vector<RecipientOut> recipients;
    std::vector<FileOut> files;
};

// Null when memory runs out.
MapiMessage *hand_out_message(const MessageOut &message);
// Never null for an empty list unless memory runs out.
MapiRecipDesc *hand_out_recipients(const std::vector<RecipientOut> &recipients);

// MAPIFreeBuffer: SUCCESS_SUCCESS for null and for a block handed out and
// not yet released, MAPI_E_FAILURE for any other pointer.
MapiULong release_handout(void *block);
int handouts_outstanding();

} // namespace provider

#endif

// Deep copies of Simple MAPI records that keep every field as received:
// null and empty texts stay apart, and each copy offers a MapiMessage view
// pointing into its own storage.
#ifndef ZORVA_TEST_PROVIDER_MESSAGE_COPY_H
#define ZORVA_TEST_PROVIDER_MESSAGE_COPY_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mapi/simple_mapi.h"

namespace test_provider {

// Something handed out to the caller and released with MAPIFreeBuffer.
struct Allocation {
    virtual ~Allocation() = default;
    virtual void *address() = 0;
};

using Text = std::optional<std::string>;

Text copy_text(const char *text);
char *text_pointer(Text &text);

struct OwnedRecip {
    MapiULong reserved = 0;
    MapiULong recip_class = 0;
    Text name;
    Text address;
    MapiULong eid_size = 0;
    bool eid_present = false;
    std::vector<unsigned char> eid;

    static OwnedRecip from(const MapiRecipDesc &recip);
    MapiRecipDesc view();
};

struct OwnedFile {
    MapiULong reserved = 0;
    MapiULong flags = 0;
    MapiULong position = 0;
    Text path_name;
    Text file_name;
    void *file_type = nullptr; // opaque: recorded, never read

    static OwnedFile from(const MapiFileDesc &file);
    MapiFileDesc view();
};

struct OwnedMessage : Allocation {
    MapiULong reserved = 0;
    Text subject;
    Text note_text;
    Text message_type;
    Text date_received;
    Text conversation_id;
    MapiULong flags = 0;
    std::optional<OwnedRecip> originator;
    std::vector<OwnedRecip> recips;
    std::vector<OwnedFile> files;

    static std::unique_ptr<OwnedMessage> from(const MapiMessage &message);
    std::unique_ptr<OwnedMessage> clone() const;
    // Rebuilds the view; call after changing any field.
    MapiMessage *view();
    void *address() override { return view(); }

  private:
    MapiMessage view_{};
    MapiRecipDesc originator_view_{};
    std::vector<MapiRecipDesc> recip_views_;
    std::vector<MapiFileDesc> file_views_;
};

// A recipient array as MAPIAddress and MAPIResolveName hand it out; never a
// null pointer, even with no records.
struct OwnedRecipArray : Allocation {
    std::vector<OwnedRecip> recips;
    void *address() override;

  private:
    std::vector<MapiRecipDesc> views_;
};

} // namespace test_provider

#endif

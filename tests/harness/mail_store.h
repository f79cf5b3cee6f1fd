// Filling the test provider's message store and describing its final state.
#ifndef ZORVA_TESTS_MAIL_STORE_H
#define ZORVA_TESTS_MAIL_STORE_H

#include <optional>
#include <string>
#include <vector>

using OptionalText = std::optional<std::string>;

// One message as the provider's store holds it; nullopt texts are null
// pointers in the MapiMessage the provider hands out.
struct StoreMessage {
    std::string id;
    bool has_originator = true;
    OptionalText name;
    OptionalText address;
    OptionalText date;
    OptionalText subject;
    OptionalText note;
    std::vector<OptionalText> attachments; // path names, in order
    bool unread = true;
};

void store_add(const StoreMessage &message);
void store_add(const std::vector<StoreMessage> &messages);

// The store as "id:subject:unread|id:subject:read|...", a null subject as "-".
std::string store_summary();

#endif

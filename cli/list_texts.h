// The pipe-delimited list texts zorva_mapi takes: recipients as
// TO|name|address|CC|name|address..., attachments as path|path... Every
// item goes through the library's token table: at most 80 items of at most
// 79 characters each, and no item may contain the separator "|".
#ifndef ZORVA_CLI_LIST_TEXTS_H
#define ZORVA_CLI_LIST_TEXTS_H

#include <string>
#include <vector>

namespace zorva_cli {

constexpr char kListSeparator = '|';
// The library's token table: 80 slots of 80 bytes, terminator included.
constexpr std::size_t kListMaxItems = 80;
constexpr std::size_t kListItemMaxLength = 79;
// A recipient takes three items: class word, name, address.
constexpr std::size_t kItemsPerRecipient = 3;
constexpr std::size_t kListMaxRecipients = kListMaxItems / kItemsPerRecipient;

// The absent marker that stands for an empty list or no message ID.
extern const char *const kAbsentMarker;

enum class RecipientClass { To, Cc, Bcc };

struct Recipient {
    RecipientClass recipient_class;
    std::string name;
    std::string address;
};

// "TO", "CC" or "BCC".
const char *class_word(RecipientClass recipient_class);

// Reads "Name <address>", "<address>" (no name) or a bare address (which is
// also the name). Returns false with *error set when the text has no address.
bool parse_recipient(const std::string &text, RecipientClass recipient_class,
                     Recipient *recipient, std::string *error);

// The list texts, or the absent marker for an empty list. Return false with
// *error set for an item the library cannot take whole: one containing "|",
// one longer than kListItemMaxLength, or too many items.
bool recipient_list_text(const std::vector<Recipient> &recipients, std::string *text,
                         std::string *error);
bool attachment_list_text(const std::vector<std::string> &paths, std::string *text,
                          std::string *error);

// Splits recipient list text, as ADDRESSBOOK writes it, back into recipients
// for display. Class words are kept as written; a short last group gets
// empty fields.
struct ListedRecipient {
    std::string class_word;
    std::string name;
    std::string address;
};
std::vector<ListedRecipient> split_recipient_list(const std::string &text);

} // namespace zorva_cli

#endif

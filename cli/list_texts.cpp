#include "list_texts.h"

#include <cctype>

namespace zorva_cli {

const char *const kAbsentMarker = "NULL";

namespace {

std::string trimmed(const std::string &text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) {
        --last;
    }
    return text.substr(first, last - first);
}

// A display name may be quoted, as in "Lee, Ann" <ann@example.com>.
std::string unquoted(const std::string &name)
{
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
        return name.substr(1, name.size() - 2);
    }
    return name;
}

// Checks one item against what the token table takes; `what` names it in
// the error, e.g. "recipient address".
bool item_fits(const std::string &item, const std::string &what, std::string *error)
{
    if (item.find(kListSeparator) != std::string::npos) {
        *error = what + " \"" + item + "\" contains \"|\", which separates the items of the " +
                 "library's lists; it cannot be passed";
        return false;
    }
    if (item.size() > kListItemMaxLength) {
        *error = what + " \"" + item + "\" has " + std::to_string(item.size()) +
                 " characters; the library takes at most " +
                 std::to_string(kListItemMaxLength) + " per list item";
        return false;
    }
    return true;
}

std::string joined(const std::vector<std::string> &items)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += kListSeparator;
        }
        text += items[i];
    }
    return text;
}

} // namespace

const char *class_word(RecipientClass recipient_class)
{
    switch (recipient_class) {
    case RecipientClass::To:
        return "TO";
    case RecipientClass::Cc:
        return "CC";
    case RecipientClass::Bcc:
        return "BCC";
    }
    return "";
}

bool parse_recipient(const std::string &text, RecipientClass recipient_class,
                     Recipient *recipient, std::string *error)
{
    std::string whole = trimmed(text);
    if (whole.find(kListSeparator) != std::string::npos) {
        *error = "recipient \"" + text + "\" contains \"|\", which separates the items of " +
                 "the library's lists; it cannot be passed";
        return false;
    }
    recipient->recipient_class = recipient_class;
    size_t open = whole.rfind('<');
    if (open != std::string::npos && !whole.empty() && whole.back() == '>') {
        recipient->name = unquoted(trimmed(whole.substr(0, open)));
        recipient->address = trimmed(whole.substr(open + 1, whole.size() - open - 2));
    } else {
        recipient->name = whole;
        recipient->address = whole;
    }
    if (recipient->address.empty()) {
        *error = "recipient \"" + text + "\" has no address; write \"Name <address>\" or an address";
        return false;
    }
    return true;
}

bool recipient_list_text(const std::vector<Recipient> &recipients, std::string *text,
                         std::string *error)
{
    if (recipients.empty()) {
        *text = kAbsentMarker;
        return true;
    }
    if (recipients.size() > kListMaxRecipients) {
        *error = std::to_string(recipients.size()) + " recipients given; the library takes at most " +
                 std::to_string(kListMaxRecipients) + " in one list";
        return false;
    }
    std::vector<std::string> items;
    for (const Recipient &r : recipients) {
        if (!item_fits(r.name, "recipient name", error) ||
            !item_fits(r.address, "recipient address", error)) {
            return false;
        }
        items.push_back(class_word(r.recipient_class));
        items.push_back(r.name);
        items.push_back(r.address);
    }
    *text = joined(items);
    return true;
}

bool attachment_list_text(const std::vector<std::string> &paths, std::string *text,
                          std::string *error)
{
    if (paths.empty()) {
        *text = kAbsentMarker;
        return true;
    }
    if (paths.size() > kListMaxItems) {
        *error = std::to_string(paths.size()) + " attachments given; the library takes at most " +
                 std::to_string(kListMaxItems) + " in one list";
        return false;
    }
    for (const std::string &path : paths) {
        if (path.empty()) {
            *error = "an attachment path is empty";
            return false;
        }
        if (!item_fits(path, "attachment path", error)) {
            return false;
        }
    }
    *text = joined(paths);
    return true;
}

std::vector<ListedRecipient> split_recipient_list(const std::string &text)
{
    std::vector<ListedRecipient> recipients;
    if (text.empty()) {
        return recipients;
    }
    std::vector<std::string> items(1);
    for (char c : text) {
        if (c == kListSeparator) {
            items.emplace_back();
        } else {
            items.back() += c;
        }
    }
    for (size_t i = 0; i < items.size(); i += kItemsPerRecipient) {
        ListedRecipient r;
        r.class_word = items[i];
        if (i + 1 < items.size()) {
            r.name = items[i + 1];
        }
        if (i + 2 < items.size()) {
            r.address = items[i + 2];
        }
        recipients.push_back(r);
    }
    return recipients;
}

} // namespace zorva_cli

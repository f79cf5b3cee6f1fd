#include "address_book.h"

#include "charsets.h"
#include "mail_address.h"
#include "mime_headers.h"
#include "platform/files.h"
#include "platform/host_codepage.h"

namespace provider {

namespace {

const char *const kUtf8Mark = "\xEF\xBB\xBF";

bool starts_with_ignoring_case(const std::string &text, const std::string &prefix)
{
    return text.size() >= prefix.size() && equals_ignoring_case(text.substr(0, prefix.size()), prefix);
}

} // namespace

AddressBook parse_address_book(const std::string &source)
{
    AddressBook book;
    std::string text = source;
    if (text.compare(0, 3, kUtf8Mark) == 0) {
        text = unicode_to_host(decode_utf8(text.substr(3)));
    }
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find('\n', i);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = trim_blanks(text.substr(i, end - i));
        i = end + 1;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        AddressEntry entry;
        std::size_t open = line.rfind('<');
        std::size_t close = line.rfind('>');
        if (open != std::string::npos && close != std::string::npos && close > open) {
            entry.address = strip_address_type(line.substr(open + 1, close - open - 1));
            entry.name = trim_blanks(line.substr(0, open));
            if (entry.name.size() >= 2 && entry.name.front() == '"' && entry.name.back() == '"') {
                entry.name = entry.name.substr(1, entry.name.size() - 2);
            }
        } else {
            entry.address = strip_address_type(line);
        }
        if (!is_valid_address(entry.address)) {
            continue;
        }
        if (entry.name.empty()) {
            entry.name = entry.address;
        }
        book.entries.push_back(entry);
    }
    return book;
}

AddressBook load_address_book(const std::string &path)
{
    std::string text;
    if (path.empty() || read_whole_file(path, text) != IoError::None) {
        return AddressBook{};
    }
    return parse_address_book(text);
}

Resolution resolve_name(const AddressBook &book, const std::string &name, AddressEntry &entry)
{
    std::string wanted = trim_blanks(name);
    if (wanted.empty()) {
        return Resolution::NotFound;
    }
    // Rules from the most exact down; the first rule that matches decides.
    for (int rule = 0; rule < 3; ++rule) {
        const AddressEntry *match = nullptr;
        int matches = 0;
        for (const AddressEntry &candidate : book.entries) {
            bool hit = rule == 0   ? equals_ignoring_case(candidate.name, wanted)
                       : rule == 1 ? same_address(candidate.address, strip_address_type(wanted))
                                   : starts_with_ignoring_case(candidate.name, wanted);
            if (hit && (match == nullptr || !same_address(match->address, candidate.address))) {
                match = match == nullptr ? &candidate : match;
                ++matches;
            }
        }
        if (matches == 1) {
            entry = *match;
            return Resolution::Found;
        }
        if (matches > 1) {
            return Resolution::Ambiguous;
        }
    }
    return Resolution::NotFound;
}

const AddressEntry *find_address(const AddressBook &book, const std::string &address)
{
    for (const AddressEntry &entry : book.entries) {
        if (same_address(entry.address, address)) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace provider

// The profile's address book: a text file of "Display Name <address>"
// lines, and the resolution of names against it.
#ifndef ZORVA_PROVIDER_ADDRESS_BOOK_H
#define ZORVA_PROVIDER_ADDRESS_BOOK_H

#include <string>
#include <vector>

namespace provider {

struct AddressEntry {
    std::string name;    // host text
    std::string address;
};

struct AddressBook {
    std::vector<AddressEntry> entries;
};

// A missing file is an empty book; lines that hold no valid address are skipped.
AddressBook load_address_book(const std::string &path);
AddressBook parse_address_book(const std::string &text);

enum class Resolution { Found, NotFound, Ambiguous };

// Finds one entry for a name: an exact display name or address first
// (without regard to case), else the one display name that starts with it.
Resolution resolve_name(const AddressBook &book, const std::string &name, AddressEntry &entry);
// The entry with this address, if any.
const AddressEntry *find_address(const AddressBook &book, const std::string &address);

} // namespace provider

#endif

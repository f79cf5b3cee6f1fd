// Simple MAPI records as the tests describe and compare them: every field
// written out, null and empty texts apart, so that a failing comparison
// names what was expected and what the provider got.
#ifndef ZORVA_TESTS_MAPI_RECORDS_H
#define ZORVA_TESTS_MAPI_RECORDS_H

#include <optional>
#include <string>
#include <vector>

#include "mapi/simple_mapi.h"

using Text = std::optional<std::string>;

inline std::string describe_text(const char *text)
{
    return text == nullptr ? "NULL" : "\"" + std::string(text) + "\"";
}

inline std::string describe_text(const Text &text)
{
    return text ? describe_text(text->c_str()) : "NULL";
}

// A recipient as the host's lists give it: class, name, address; the
// library sets no reserved field and no entry identifier.
struct Recip {
    MapiULong recip_class;
    Text name;
    Text address;
};

inline std::string describe(const MapiRecipDesc &r)
{
    return "{reserved " + std::to_string(r.ulReserved) + ", class " +
           std::to_string(r.ulRecipClass) + ", " + describe_text(r.lpszName) + ", " +
           describe_text(r.lpszAddress) + ", eid size " + std::to_string(r.ulEIDSize) + ", " +
           (r.lpEntryID ? "eid" : "no eid") + "}";
}

inline std::string describe(const Recip &r)
{
    return "{reserved 0, class " + std::to_string(r.recip_class) + ", " + describe_text(r.name) +
           ", " + describe_text(r.address) + ", eid size 0, no eid}";
}

inline std::vector<std::string> describe(const MapiRecipDesc *records, MapiULong count)
{
    std::vector<std::string> lines;
    for (MapiULong i = 0; i < count; ++i) {
        lines.push_back(describe(records[i]));
    }
    return lines;
}

inline std::vector<std::string> describe(const std::vector<Recip> &recips)
{
    std::vector<std::string> lines;
    for (const auto &r : recips) {
        lines.push_back(describe(r));
    }
    return lines;
}

// An attachment as the library builds it: the path, everything else zero.
inline std::string describe_file(const Text &path)
{
    return "{reserved 0, flags 0, position 0, path " + describe_text(path) +
           ", file name NULL, no type}";
}

inline std::string describe(const MapiFileDesc &f)
{
    return "{reserved " + std::to_string(f.ulReserved) + ", flags " + std::to_string(f.flFlags) +
           ", position " + std::to_string(f.nPosition) + ", path " +
           describe_text(f.lpszPathName) + ", file name " + describe_text(f.lpszFileName) + ", " +
           (f.lpFileType ? "type" : "no type") + "}";
}

inline std::vector<std::string> describe(const MapiFileDesc *files, MapiULong count)
{
    std::vector<std::string> lines;
    for (MapiULong i = 0; i < count; ++i) {
        lines.push_back(describe(files[i]));
    }
    return lines;
}

inline std::vector<std::string> describe_files(const std::vector<Text> &paths)
{
    std::vector<std::string> lines;
    for (const auto &path : paths) {
        lines.push_back(describe_file(path));
    }
    return lines;
}

// Records pointing into the texts of `recips`, as a provider hands them
// out; valid while `recips` is neither changed nor destroyed.
inline std::vector<MapiRecipDesc> records_of(std::vector<Recip> &recips)
{
    std::vector<MapiRecipDesc> records;
    for (auto &r : recips) {
        MapiRecipDesc record{};
        record.ulRecipClass = r.recip_class;
        record.lpszName = r.name ? r.name->data() : nullptr;
        record.lpszAddress = r.address ? r.address->data() : nullptr;
        records.push_back(record);
    }
    return records;
}

#endif

// Fuzzes the list parser and the recipient writer against a plain model:
// split_pipe_list must refuse exactly the lists that do not fit the token
// table and otherwise give the model's tokens; the records built from them
// must carry the model's classes, names and addresses; the writer must
// write exactly the model's text (into a buffer of exactly that size), and
// that text must read back as the same recipients when it fits the table.
//
// The first input byte, when odd, also gives each record a class taken
// from the input, so the writer meets classes other than 0 to 3.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mail/pipe_list.h"

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

std::vector<std::string> model_split(const std::string &text)
{
    std::vector<std::string> tokens(1);
    for (char c : text) {
        if (c == PIPE_LIST_SEPARATOR) {
            tokens.emplace_back();
        } else {
            tokens.back() += c;
        }
    }
    return tokens;
}

bool model_fits(const std::vector<std::string> &tokens)
{
    if (tokens.size() > TOKEN_TABLE_SLOTS) {
        return false;
    }
    for (const auto &token : tokens) {
        if (token.size() > TOKEN_SLOT_SIZE - 1) {
            return false;
        }
    }
    return true;
}

MapiULong model_class(const std::string &word)
{
    return word == "TO" ? MAPI_TO : word == "CC" ? MAPI_CC : word == "BCC" ? MAPI_BCC : 0;
}

std::string model_word(MapiULong recip_class)
{
    return recip_class == MAPI_TO ? "TO" : recip_class == MAPI_CC ? "CC"
                                       : recip_class == MAPI_BCC  ? "BCC"
                                                                  : "";
}

std::string or_empty(const char *text) { return text ? text : ""; }

std::string model_format(const MapiRecipDesc *records, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += (i ? "|" : "") + model_word(records[i].ulRecipClass) + "|" +
                or_empty(records[i].lpszName) + "|" + or_empty(records[i].lpszAddress);
    }
    return text;
}

void check_recipients(const std::vector<std::string> &tokens, TokenTable &table,
                      const MapiRecipDesc *records, int count)
{
    check(count == static_cast<int>((tokens.size() - 1) / RECIPIENT_FIELDS + 1));
    check(count <= RECIPIENT_RECORDS);
    for (int g = 0; g < count; ++g) {
        const MapiRecipDesc &r = records[g];
        size_t first = static_cast<size_t>(g) * RECIPIENT_FIELDS;
        check(r.ulReserved == 0 && r.ulEIDSize == 0 && r.lpEntryID == nullptr);
        check(r.ulRecipClass == model_class(tokens[first]));
        if (first + 1 < tokens.size()) {
            check(r.lpszName == table.slot[first + 1]);
        } else {
            check(r.lpszName == nullptr);
        }
        if (first + 2 < tokens.size()) {
            check(r.lpszAddress == table.slot[first + 2]);
        } else {
            check(r.lpszAddress == nullptr);
        }
    }
}

void check_attachments(const std::vector<std::string> &tokens, TokenTable &table, int last)
{
    MapiFileDesc files[ATTACHMENT_RECORDS];
    int count = build_attachment_list(&table, last, files);
    check(count == static_cast<int>(tokens.size()));
    for (int k = 0; k < count; ++k) {
        const MapiFileDesc &f = files[k];
        check(f.ulReserved == 0 && f.flFlags == 0 && f.nPosition == 0);
        check(f.lpszPathName == table.slot[k] && tokens[static_cast<size_t>(k)] == f.lpszPathName);
        check(f.lpszFileName == nullptr && f.lpFileType == nullptr);
    }
}

// Writes the records and reads the text back.
void check_writer(MapiRecipDesc *records, int count)
{
    std::string expected = model_format(records, static_cast<size_t>(count));
    // Exactly the text's size, so a byte written past it is a heap overflow.
    std::vector<char> out(expected.size() + 1);
    size_t length = format_recipient_list(records, static_cast<MapiULong>(count), out.data());
    check(length == expected.size());
    check(std::memcmp(out.data(), expected.c_str(), expected.size() + 1) == 0);

    std::vector<std::string> again = model_split(expected);
    TokenTable table;
    int last = split_pipe_list(out.data(), &table);
    if (!model_fits(again)) {
        check(last == PIPE_LIST_TOO_LONG);
        return;
    }
    MapiRecipDesc read_back[RECIPIENT_RECORDS];
    check(build_recipient_list(&table, last, read_back) == (count > 0 ? count : 1));
    for (int g = 0; g < count; ++g) {
        MapiULong written = model_class(model_word(records[g].ulRecipClass));
        check(read_back[g].ulRecipClass == written);
        check(or_empty(read_back[g].lpszName) == or_empty(records[g].lpszName));
        check(or_empty(read_back[g].lpszAddress) == or_empty(records[g].lpszAddress));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    text = text.substr(0, text.find('\0'));

    TokenTable table;
    std::memset(&table, 0x5A, sizeof table);
    int last = split_pipe_list(text.c_str(), &table);
    std::vector<std::string> tokens = model_split(text);
    if (!model_fits(tokens)) {
        check(last == PIPE_LIST_TOO_LONG);
        return 0;
    }
    check(last == static_cast<int>(tokens.size()) - 1);
    for (size_t k = 0; k < tokens.size(); ++k) {
        check(tokens[k] == table.slot[k]);
    }

    MapiRecipDesc records[RECIPIENT_RECORDS];
    std::memset(records, 0x5A, sizeof records);
    int count = build_recipient_list(&table, last, records);
    check_recipients(tokens, table, records, count);
    check_attachments(tokens, table, last);

    if (size > 0 && (data[0] & 1) != 0) {
        for (int g = 0; g < count; ++g) {
            records[g].ulRecipClass = data[static_cast<size_t>(g) % size];
        }
    }
    check_writer(records, count);
    check_writer(records, 0);
    return 0;
}

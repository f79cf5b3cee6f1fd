#include "result_words.h"

namespace zorva_cli {

namespace {

struct ResultWord {
    Export which;
    int code;
    const char *words;
};

// Every result code each export documents.
const ResultWord kResultWords[] = {
    {Export::SENDMAIL, 0, "sent"},
    {Export::SENDMAIL, -1, "not sent: a failure, see the library's lines above"},
    {Export::GETMAIL, 0, "done"},
    {Export::GETMAIL, 1, "no message found, or the read failed"},
    {Export::GETMAIL, -2, "delete failed"},
    {Export::GETMAIL, -9, "save failed"},
    {Export::GETMAIL, -1, "failed: binding, logon, release or logoff, see the library's lines above"},
    {Export::INBOX, 0, "listed"},
    {Export::INBOX, -1, "failed: see the library's lines above"},
    {Export::ADDRESSBOOK, 0, "chosen"},
    {Export::ADDRESSBOOK, 1, "the address book dialog failed or was cancelled"},
    {Export::ADDRESSBOOK, -1, "failed: binding, logon, release or logoff, see the library's lines above"},
};

} // namespace

const char *export_name(Export which)
{
    switch (which) {
    case Export::SENDMAIL:
        return "SENDMAIL";
    case Export::GETMAIL:
        return "GETMAIL";
    case Export::INBOX:
        return "INBOX";
    case Export::ADDRESSBOOK:
        return "ADDRESSBOOK";
    }
    return "";
}

std::string result_in_words(Export which, int code)
{
    for (const ResultWord &r : kResultWords) {
        if (r.which == which && r.code == code) {
            return r.words;
        }
    }
    return "a result this export does not document";
}

} // namespace zorva_cli

// The subcommands that call the library: each builds the host's arguments,
// prints the call, makes it, and prints what came back with the result in
// words. Each returns zorva-mail's exit status.
#ifndef ZORVA_CLI_SUBCOMMANDS_H
#define ZORVA_CLI_SUBCOMMANDS_H

#include <cstdio>
#include <string>

#include "command_line.h"
#include "zorva_exports.h"

namespace zorva_cli {

struct MailCall {
    const ZorvaExports &exports;
    std::string profile;
    std::string password;
    // Standard output, which the library prints on too.
    std::FILE *out;
};

// SENDMAIL's arguments, already in the library's forms.
struct SendArguments {
    std::string recipients;
    std::string subject;
    std::string note_text;
    std::string attachments;
};

int run_send(const MailCall &call, const SendArguments &arguments);
int run_inbox(const MailCall &call);
// get, update and delete: GETMAIL in its modes.
int run_get(const MailCall &call, const CommandLine &command);
int run_update(const MailCall &call, const CommandLine &command);
int run_delete(const MailCall &call, const CommandLine &command);
int run_address_book(const MailCall &call, const std::string &initial_recipients);
int run_version(const MailCall &call);

} // namespace zorva_cli

#endif

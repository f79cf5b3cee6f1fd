// zorva-mail's command line: one subcommand per export, with its options.
#ifndef ZORVA_CLI_COMMAND_LINE_H
#define ZORVA_CLI_COMMAND_LINE_H

#include <optional>
#include <string>
#include <vector>

#include "list_texts.h"

namespace zorva_cli {

enum class Subcommand {
    Help,
    Send,
    Inbox,
    Get,
    Update,
    Delete,
    AddressBook,
    Version,
    Register,
    Unregister,
    Retry
};

// The subcommand's name on the command line, e.g. "addressbook".
const char *subcommand_name(Subcommand subcommand);

struct CommandLine {
    Subcommand subcommand = Subcommand::Help;
    // `zorva-mail help send` or `zorva-mail send --help`: the subcommand asked about.
    std::optional<Subcommand> help_topic;

    std::optional<std::string> library;
    std::optional<std::string> profile;
    std::optional<std::string> password;

    // send, addressbook
    std::vector<Recipient> recipients;
    // send
    std::string subject;
    std::optional<std::string> text;
    std::optional<std::string> text_file;
    std::vector<std::string> attachments;
    // get, update, delete
    bool mark = false;
    bool unread_only = false;
    std::string after; // the absent marker: from the first message
    bool all = false;
    // update
    std::string new_subject;
    // register, retry
    std::optional<std::string> provider_path;
    // retry
    bool resend_unconfirmed = false;
};

// Reads the arguments after the program name. Returns false with *error
// set for anything it cannot take.
bool parse_command_line(const std::vector<std::string> &args, CommandLine *command,
                        std::string *error);

} // namespace zorva_cli

#endif

// zorva-mail as a whole: reads the command line, loads the library and runs
// one subcommand. main() calls it; the tests call it in their own process,
// where the test provider lives.
#ifndef ZORVA_CLI_RUN_CLI_H
#define ZORVA_CLI_RUN_CLI_H

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "mail_client_registry.h"

namespace zorva_cli {

// What zorva-mail takes from its surroundings.
struct CliSettings {
    std::optional<std::string> library;  // ZORVA_MAPI_LIBRARY
    std::optional<std::string> profile;  // ZORVA_MAIL_PROFILE
    std::optional<std::string> password; // ZORVA_MAIL_PASSWORD
    MailClientsKey mail_clients;

    static CliSettings from_environment();
};

// args: the arguments after the program name. out must be standard output,
// where the library prints too; err takes zorva-mail's own complaints.
// Returns the exit status.
int run_cli(const std::vector<std::string> &args, const CliSettings &settings, std::FILE *out,
            std::FILE *err);

} // namespace zorva_cli

#endif

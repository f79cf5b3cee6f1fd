// zorva-mail --help: every subcommand with the export it calls.
#ifndef ZORVA_CLI_HELP_TEXT_H
#define ZORVA_CLI_HELP_TEXT_H

#include <optional>
#include <string>

#include "command_line.h"

namespace zorva_cli {

// The whole help, or one subcommand's part of it.
std::string help_text(std::optional<Subcommand> topic);

} // namespace zorva_cli

#endif

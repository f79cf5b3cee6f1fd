// zorva-mail's exit status.
#ifndef ZORVA_CLI_EXIT_CODES_H
#define ZORVA_CLI_EXIT_CODES_H

namespace zorva_cli {

constexpr int kExitSuccess = 0;
// The export returned a failure, found no message, or broke the buffer contract.
constexpr int kExitExportFailed = 1;
// The command line was refused; nothing was loaded or called.
constexpr int kExitUsage = 2;
// The library could not be loaded or lacks an export.
constexpr int kExitNoLibrary = 3;

} // namespace zorva_cli

#endif

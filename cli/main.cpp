// zorva-mail: a command-line host of zorva_mapi, one subcommand per export.
#include <cstdio>
#include <string>
#include <vector>

#include "run_cli.h"

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return zorva_cli::run_cli(args, zorva_cli::CliSettings::from_environment(), stdout, stderr);
}

// Runs zorva-mail in the test's own process, where the test provider's
// script lives, against the library under test.
#ifndef ZORVA_TESTS_CLI_ZORVA_MAIL_RUN_H
#define ZORVA_TESTS_CLI_ZORVA_MAIL_RUN_H

#include <string>
#include <vector>

#include "run_cli.h"

struct ZorvaMailRun {
    int status;
    std::string out; // standard output: zorva-mail's lines and the library's
    std::string err; // zorva-mail's complaints
};

// args after the program name; the library under test is named with
// --library before them.
ZorvaMailRun run_zorva_mail(const std::vector<std::string> &args,
                            const zorva_cli::CliSettings &settings = zorva_cli::CliSettings{});

// True when `text` holds `part`; for readable EXPECTs with the text shown.
bool contains(const std::string &text, const std::string &part);

#endif

// zorva-mail retry: our provider loaded directly, a logon, and its own
// export ZorvaRetryOutbox, which sends what waits in the outbox.
#ifndef ZORVA_CLI_RETRY_OUTBOX_H
#define ZORVA_CLI_RETRY_OUTBOX_H

#include <cstdio>
#include <string>

namespace zorva_cli {

// Prints each call, the provider's report and the result in words;
// returns zorva-mail's exit status.
int run_retry(const std::string &provider_path, const std::string &profile, const std::string &password,
              bool resend_unconfirmed, std::FILE *out, std::FILE *err);

} // namespace zorva_cli

#endif

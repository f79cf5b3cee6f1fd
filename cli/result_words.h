// The result codes of zorva_mapi's exports, in words.
#ifndef ZORVA_CLI_RESULT_WORDS_H
#define ZORVA_CLI_RESULT_WORDS_H

#include <string>

namespace zorva_cli {

enum class Export { SENDMAIL, GETMAIL, INBOX, ADDRESSBOOK };

const char *export_name(Export which);

// What `code` means for this export, e.g. "sent" or "delete failed".
std::string result_in_words(Export which, int code);

} // namespace zorva_cli

#endif

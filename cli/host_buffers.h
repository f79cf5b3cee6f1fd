// Sizes of the buffers a host hands to zorva_mapi. The library writes into
// them without knowing their size, so the host must provide at least these.
#ifndef ZORVA_CLI_HOST_BUFFERS_H
#define ZORVA_CLI_HOST_BUFFERS_H

#include <cstddef>

namespace zorva_cli {

// GETMAIL parameter 1: the message ID, in and out.
constexpr std::size_t kMessageIdBufferSize = 512;
// GETMAIL parameter 5: the message report.
constexpr std::size_t kReportBufferSize = 32768;
// ADDRESSBOOK parameter 4: the chosen recipients, written without a limit;
// room for thousands of recipients.
constexpr std::size_t kRecipientBufferSize = 1 << 20;
// mapi_version: exactly 20 bytes, the last of them zero.
constexpr std::size_t kVersionBufferSize = 20;

} // namespace zorva_cli

#endif

/* Our provider's own export beyond Simple MAPI: sending what waits in the
 * outbox. Exported stdcall by its plain name, like the Simple MAPI
 * functions, from zorva_provider.dll (libzorva_provider.so natively).
 *
 *   ULONG ZorvaRetryOutbox(LHANDLE session, ULONG flags, LPSTR report, ULONG report_size);
 *
 * session: from MAPILogon, or 0 for the default profile (when it needs no
 * password). Sends every queued message of the session's store to the
 * profile's SMTP server, oldest first, and writes one line per message
 * into report (at most report_size bytes with the terminating zero; cut
 * short when it does not fit; report may be null when report_size is 0):
 *
 *   delivered <id> <Message-ID> to <n> recipient(s)
 *   kept <id> <Message-ID>: <code> <what went wrong>
 *   unconfirmed <id> <Message-ID>: <why it is not sent again>
 *
 * Returns SUCCESS_SUCCESS when nothing is left in the outbox; otherwise the
 * code of the first message left (MAPI_E_FAILURE, MAPI_E_INVALID_RECIPS,
 * MAPI_E_LOGIN_FAILURE), MAPI_E_NOT_SUPPORTED when the profile names no
 * SMTP server, MAPI_E_INVALID_SESSION for an unknown session.
 *
 * An unconfirmed message is one whose sending was cut off by the end of
 * the process that sent it: the server may have accepted it. It is left
 * alone unless flags hold ZORVA_RETRY_UNCONFIRMED, which queues it again
 * and sends it (and may so deliver it twice). */
#ifndef ZORVA_PROVIDER_ZORVA_OUTBOX_H
#define ZORVA_PROVIDER_ZORVA_OUTBOX_H

#include "mapi/simple_mapi.h"

#define ZORVA_RETRY_UNCONFIRMED 0x00000001u

typedef MapiULong(ZORVA_STDCALL *LPZORVARETRYOUTBOX)(MapiHandle session, MapiULong flags, char *report,
                                                     MapiULong report_size);

#endif

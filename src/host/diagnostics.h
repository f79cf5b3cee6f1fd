/* The diagnostic lines the mail functions print on standard output. */
#ifndef ZORVA_HOST_DIAGNOSTICS_H
#define ZORVA_HOST_DIAGNOSTICS_H

#define DIAG_BIND_FAILED "Unable to initialise MAPI services. Error loading the library\n"
#define DIAG_LOGON_FAILED "Unable to Login to the Mail Server\n"
#define DIAG_LOGOFF_FAILED "Unable to log off mail server\n"
#define DIAG_ADDRESS_BOOK_LOGOFF_FAILED "Unable to logoff Mail Server.\n"
#define DIAG_FREE_FAILED "Unable to free buffer.\n"
#define DIAG_READ_FAILED_FORMAT "ReadMail Returned the error %u\n"
#define DIAG_SEND_FAILED_FORMAT "Mail not sent %u \n"
#define DIAG_INBOX_HEADER "\nContents of the INBOX are as follows\n\n\n"

/* Added for lists that do not fit the token table. */
#define DIAG_RECIPIENTS_TOO_LONG "Recipient list too long\n"
#define DIAG_ATTACHMENTS_TOO_LONG "Attachment list too long\n"

#endif

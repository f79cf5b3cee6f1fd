#include "exports.h"

#include "../mail/mail_ops.h"

int ZORVA_CDECL ADDRESSBOOK(char *profile, char *password, char *initial_recipients,
                            char *recipients_out)
{
    return mail_address_book(profile, password, initial_recipients, recipients_out);
}

int ZORVA_CDECL GETMAIL(char *message_id, char *profile, char *password, char *ignored4,
                        char *report, char *ignored6, char *mode, char *unread_only,
                        char *new_subject)
{
    (void)ignored4;
    (void)ignored6;
    return mail_get(message_id, profile, password, report, mode, unread_only, new_subject);
}

int ZORVA_CDECL INBOX(char *profile, char *password)
{
    return mail_inbox(profile, password);
}

int ZORVA_CDECL SENDMAIL(char *profile, char *password, char *recipients, char *subject,
                         char *note_text, char *attachments)
{
    return mail_send(profile, password, recipients, subject, note_text, attachments);
}

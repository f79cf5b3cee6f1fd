/* The work of the four mail functions, each inside the operation frame. */
#ifndef ZORVA_MAIL_MAIL_OPS_H
#define ZORVA_MAIL_MAIL_OPS_H

/* The host's absent marker for a list or message ID. */
#define ABSENT_MARKER "NULL"

int mail_send(char *profile, char *password, char *recipients, char *subject, char *note_text,
              char *attachments);
int mail_get(char *message_id, char *profile, char *password, char *report, char *mode,
             char *unread_only, char *new_subject);
int mail_inbox(char *profile, char *password);
int mail_address_book(char *profile, char *password, char *initial_recipients,
                      char *recipients_out);

#endif

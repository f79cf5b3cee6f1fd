/* The five functions zorva_mapi exports to its host.
 *
 * Every export is cdecl (the caller removes the arguments) and exported by
 * its undecorated name; every argument is one pointer to a zero-terminated
 * text in the host's memory, and the text "NULL" stands for an absent list
 * or message ID. Results are 32-bit signed codes. */
#ifndef ZORVA_HOST_EXPORTS_H
#define ZORVA_HOST_EXPORTS_H

#include "../platform/abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Ordinal 1. Opens the mail system's address book on the initial recipient
 * list (in, or "NULL") and writes the chosen recipients as recipient list
 * text into recipients_out (out, sized by the host).
 * Returns 0 chosen, 1 the dialog failed or was cancelled, -1 other failures. */
ZORVA_EXPORT int ZORVA_CDECL ADDRESSBOOK(char *profile, char *password, char *initial_recipients,
                                         char *recipients_out);

/* Ordinal 2. Finds the message after message_id (in/out, 512 bytes, or
 * "NULL" for the first) and, by mode (in), reports it into report (out,
 * 32768 bytes), marks it read, rewrites its subject to new_subject, or
 * deletes it. unread_only "U" restricts the search to unread messages.
 * Returns 0 done, 1 no message or read failed, -2 delete failed, -9 save
 * failed, -1 other failures. */
ZORVA_EXPORT int ZORVA_CDECL GETMAIL(char *message_id, char *profile, char *password,
                                     char *ignored4, char *report, char *ignored6, char *mode,
                                     char *unread_only, char *new_subject);

/* Ordinal 3. Prints the inbox, one line per message, on standard output.
 * Returns 0 listed, -1 any failure. */
ZORVA_EXPORT int ZORVA_CDECL INBOX(char *profile, char *password);

/* Ordinal 4. Sends one message. note_text (in/out) has every carriage
 * return turned into a line feed, in place. recipients and attachments are
 * pipe-delimited lists or "NULL". Returns 0 sent, -1 any failure. */
ZORVA_EXPORT int ZORVA_CDECL SENDMAIL(char *profile, char *password, char *recipients,
                                      char *subject, char *note_text, char *attachments);

/* Ordinal 5. Writes the 20-byte version text into version (out). */
ZORVA_EXPORT void ZORVA_CDECL mapi_version(char *version);

#ifdef __cplusplus
}
#endif

#endif

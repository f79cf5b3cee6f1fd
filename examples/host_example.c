/* host_example.c: a complete host of zorva_mapi.dll.
 *
 * Loads the library at run time, prints its version, sends one message to
 * the address given, lists the inbox and walks it with GETMAIL.
 *
 *   host_example ADDRESS [PROFILE [PASSWORD [LIBRARY]]]
 *
 * Build: i686-w64-mingw32-gcc -std=c11 -Wall host_example.c -o host_example.exe
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

/* The exports: cdecl, undecorated names, every argument one text pointer. */
typedef int(__cdecl *SendMailFn)(char *profile, char *password, char *recipients, char *subject,
                                 char *note_text, char *attachments);
typedef int(__cdecl *GetMailFn)(char *message_id, char *profile, char *password, char *ignored4,
                                char *report, char *ignored6, char *mode, char *unread_only,
                                char *new_subject);
typedef int(__cdecl *InboxFn)(char *profile, char *password);
typedef void(__cdecl *VersionFn)(char *version);

/* The buffers the library writes into, sized as it requires. */
#define MESSAGE_ID_SIZE 512
#define REPORT_SIZE 32768
#define VERSION_SIZE 20
#define LIST_SIZE 256

static char report[REPORT_SIZE];

int main(int argc, char **argv)
{
    char profile[257] = "", password[257] = "";
    char recipients[LIST_SIZE], subject[] = "Hello from a host";
    char note_text[] = "First line\r\nSecond line"; /* rewritten in place: CR becomes LF */
    char no_attachments[] = "NULL";
    char message_id[MESSAGE_ID_SIZE] = "NULL", previous_id[MESSAGE_ID_SIZE];
    char version[VERSION_SIZE];
    char unused[] = "", peek[] = "P", all_messages[] = "", no_subject[] = "";
    const char *library_path = argc > 4 ? argv[4] : "zorva_mapi.dll";
    HMODULE library;
    SendMailFn send_mail;
    GetMailFn get_mail;
    InboxFn inbox;
    VersionFn mapi_version;
    int result;

    if (argc < 2 || strchr(argv[1], '|') != NULL || strlen(argv[1]) > 79) {
        fprintf(stderr, "usage: host_example ADDRESS [PROFILE [PASSWORD [LIBRARY]]]\n"
                        "(an address of at most 79 characters, without \"|\")\n");
        return 2;
    }
    snprintf(recipients, sizeof recipients, "TO|%s|%s", argv[1], argv[1]);
    if (argc > 2) {
        snprintf(profile, sizeof profile, "%s", argv[2]);
    }
    if (argc > 3) {
        snprintf(password, sizeof password, "%s", argv[3]);
    }

    library = LoadLibraryA(library_path);
    if (library == NULL) {
        fprintf(stderr, "cannot load %s (error %lu)\n", library_path, GetLastError());
        return 3;
    }
    /* GetProcAddress returns FARPROC; go through void * to the real type. */
    send_mail = (SendMailFn)(void *)GetProcAddress(library, "SENDMAIL");
    get_mail = (GetMailFn)(void *)GetProcAddress(library, "GETMAIL");
    inbox = (InboxFn)(void *)GetProcAddress(library, "INBOX");
    mapi_version = (VersionFn)(void *)GetProcAddress(library, "mapi_version");
    if (send_mail == NULL || get_mail == NULL || inbox == NULL || mapi_version == NULL) {
        fprintf(stderr, "%s lacks an export\n", library_path);
        FreeLibrary(library);
        return 3;
    }

    mapi_version(version);
    printf("zorva_mapi version %s\n", version);

    result = send_mail(profile, password, recipients, subject, note_text, no_attachments);
    printf("SENDMAIL returned %d\n", result);

    result = inbox(profile, password);
    printf("INBOX returned %d\n", result);

    /* Walk the inbox: each call reports the message after the ID passed in
     * and writes that message's ID back; "NULL" starts at the first. */
    for (;;) {
        strcpy(previous_id, message_id);
        result = get_mail(message_id, profile, password, unused, report, unused, peek,
                          all_messages, no_subject);
        if (result == 0) {
            printf("--- %s\n%s", message_id, report);
        } else if (result == 1 && strcmp(message_id, previous_id) != 0) {
            printf("--- %s could not be read\n", message_id); /* the ID moved on */
        } else {
            break; /* 1 with the ID unchanged: no further message; below 0: failure */
        }
    }
    printf("GETMAIL returned %d at the end\n", result);

    FreeLibrary(library);
    return result < 0 ? 1 : 0;
}

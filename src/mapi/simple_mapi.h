/* Our declarations of the published Simple MAPI interface: the records,
 * constants and function types that this library and its providers use.
 * Field order and widths follow the published interface: ULONG and FLAGS
 * are 32-bit unsigned, handles and ULONG_PTR are pointer-sized, and every
 * function is stdcall on 32-bit Windows. */
#ifndef ZORVA_MAPI_SIMPLE_MAPI_H
#define ZORVA_MAPI_SIMPLE_MAPI_H

#include <stdint.h>

#include "../platform/abi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t MapiULong;  /* ULONG, FLAGS */
typedef uintptr_t MapiHandle; /* LHANDLE, ULONG_PTR */

typedef struct MapiRecipDesc {
    MapiULong ulReserved;
    MapiULong ulRecipClass;
    char *lpszName;
    char *lpszAddress;
    MapiULong ulEIDSize;
    void *lpEntryID;
} MapiRecipDesc;

typedef struct MapiFileDesc {
    MapiULong ulReserved;
    MapiULong flFlags;
    MapiULong nPosition;
    char *lpszPathName;
    char *lpszFileName;
    void *lpFileType;
} MapiFileDesc;

typedef struct MapiMessage {
    MapiULong ulReserved;
    char *lpszSubject;
    char *lpszNoteText;
    char *lpszMessageType;
    char *lpszDateReceived;
    char *lpszConversationID;
    MapiULong flFlags;
    MapiRecipDesc *lpOriginator;
    MapiULong nRecipCount;
    MapiRecipDesc *lpRecips;
    MapiULong nFileCount;
    MapiFileDesc *lpFiles;
} MapiMessage;

/* Flags. */
#define MAPI_LOGON_UI 0x00000001u
#define MAPI_NEW_SESSION 0x00000002u
#define MAPI_DIALOG 0x00000008u
#define MAPI_UNREAD_ONLY 0x00000020u
#define MAPI_ENVELOPE_ONLY 0x00000040u
#define MAPI_PEEK 0x00000080u
#define MAPI_GUARANTEE_FIFO 0x00000100u
#define MAPI_BODY_AS_FILE 0x00000200u
#define MAPI_AB_NOMODIFY 0x00000400u
#define MAPI_SUPPRESS_ATTACH 0x00000800u
#define MAPI_FORCE_DOWNLOAD 0x00001000u
#define MAPI_LONG_MSGID 0x00004000u
#define MAPI_PASSWORD_UI 0x00020000u

/* MapiMessage.flFlags. */
#define MAPI_UNREAD 0x00000001u
#define MAPI_RECEIPT_REQUESTED 0x00000002u
#define MAPI_SENT 0x00000004u

/* Recipient classes. */
#define MAPI_ORIG 0u
#define MAPI_TO 1u
#define MAPI_CC 2u
#define MAPI_BCC 3u

/* Result codes. */
#define SUCCESS_SUCCESS 0u
#define MAPI_USER_ABORT 1u
#define MAPI_E_FAILURE 2u
#define MAPI_E_LOGIN_FAILURE 3u
#define MAPI_E_DISK_FULL 4u
#define MAPI_E_INSUFFICIENT_MEMORY 5u
#define MAPI_E_ACCESS_DENIED 6u
#define MAPI_E_TOO_MANY_SESSIONS 8u
#define MAPI_E_TOO_MANY_FILES 9u
#define MAPI_E_TOO_MANY_RECIPIENTS 10u
#define MAPI_E_ATTACHMENT_NOT_FOUND 11u
#define MAPI_E_ATTACHMENT_OPEN_FAILURE 12u
#define MAPI_E_ATTACHMENT_WRITE_FAILURE 13u
#define MAPI_E_UNKNOWN_RECIPIENT 14u
#define MAPI_E_BAD_RECIPTYPE 15u
#define MAPI_E_NO_MESSAGES 16u
#define MAPI_E_INVALID_MESSAGE 17u
#define MAPI_E_TEXT_TOO_LARGE 18u
#define MAPI_E_INVALID_SESSION 19u
#define MAPI_E_TYPE_NOT_SUPPORTED 20u
#define MAPI_E_AMBIGUOUS_RECIPIENT 21u
#define MAPI_E_MESSAGE_IN_USE 22u
#define MAPI_E_NETWORK_FAILURE 23u
#define MAPI_E_INVALID_EDITFIELDS 24u
#define MAPI_E_INVALID_RECIPS 25u
#define MAPI_E_NOT_SUPPORTED 26u

/* A found message ID fits in this many bytes, terminator included. */
#define MAPI_MESSAGE_ID_SIZE 512

/* The provider's entry points. */
typedef MapiULong(ZORVA_STDCALL *LPMAPILOGON)(MapiHandle ulUIParam, char *lpszProfileName,
                                              char *lpszPassword, MapiULong flFlags,
                                              MapiULong ulReserved, MapiHandle *lplhSession);
typedef MapiULong(ZORVA_STDCALL *LPMAPILOGOFF)(MapiHandle lhSession, MapiHandle ulUIParam,
                                               MapiULong flFlags, MapiULong ulReserved);
typedef MapiULong(ZORVA_STDCALL *LPMAPISENDMAIL)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                 MapiMessage *lpMessage, MapiULong flFlags,
                                                 MapiULong ulReserved);
typedef MapiULong(ZORVA_STDCALL *LPMAPISENDDOCUMENTS)(MapiHandle ulUIParam, char *lpszDelimChar,
                                                      char *lpszFilePaths, char *lpszFileNames,
                                                      MapiULong ulReserved);
typedef MapiULong(ZORVA_STDCALL *LPMAPIFINDNEXT)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                 char *lpszMessageType, char *lpszSeedMessageID,
                                                 MapiULong flFlags, MapiULong ulReserved,
                                                 char *lpszMessageID);
typedef MapiULong(ZORVA_STDCALL *LPMAPIREADMAIL)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                 char *lpszMessageID, MapiULong flFlags,
                                                 MapiULong ulReserved, MapiMessage **lppMessage);
typedef MapiULong(ZORVA_STDCALL *LPMAPISAVEMAIL)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                 MapiMessage *lpMessage, MapiULong flFlags,
                                                 MapiULong ulReserved, char *lpszMessageID);
typedef MapiULong(ZORVA_STDCALL *LPMAPIDELETEMAIL)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                   char *lpszMessageID, MapiULong flFlags,
                                                   MapiULong ulReserved);
typedef MapiULong(ZORVA_STDCALL *LPMAPIFREEBUFFER)(void *pv);
typedef MapiULong(ZORVA_STDCALL *LPMAPIADDRESS)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                char *lpszCaption, MapiULong nEditFields,
                                                char *lpszLabels, MapiULong nRecips,
                                                MapiRecipDesc *lpRecips, MapiULong flFlags,
                                                MapiULong ulReserved, MapiULong *lpnNewRecips,
                                                MapiRecipDesc **lppNewRecips);
typedef MapiULong(ZORVA_STDCALL *LPMAPIDETAILS)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                MapiRecipDesc *lpRecip, MapiULong flFlags,
                                                MapiULong ulReserved);
typedef MapiULong(ZORVA_STDCALL *LPMAPIRESOLVENAME)(MapiHandle lhSession, MapiHandle ulUIParam,
                                                    char *lpszName, MapiULong flFlags,
                                                    MapiULong ulReserved,
                                                    MapiRecipDesc **lppRecip);

#ifdef __cplusplus
}
#endif

#endif

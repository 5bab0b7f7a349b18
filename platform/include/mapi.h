// Simple MAPI: the types and codes of MAPISendMail, reached through
// LoadLibraryA("MAPI32.DLL") and GetProcAddress.
#pragma once

#include "windows.h"

typedef ULONG_PTR LHANDLE, *LPLHANDLE;
typedef ULONG FLAGS;

typedef struct {
    ULONG ulReserved;
    ULONG ulRecipClass;
    LPSTR lpszName;
    LPSTR lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
} MapiRecipDesc, *lpMapiRecipDesc;

typedef struct {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    LPSTR lpszPathName;
    LPSTR lpszFileName;
    LPVOID lpFileType;
} MapiFileDesc, *lpMapiFileDesc;

typedef struct {
    ULONG ulReserved;
    LPSTR lpszSubject;
    LPSTR lpszNoteText;
    LPSTR lpszMessageType;
    LPSTR lpszDateReceived;
    LPSTR lpszConversationID;
    FLAGS flFlags;
    lpMapiRecipDesc lpOriginator;
    ULONG nRecipCount;
    lpMapiRecipDesc lpRecips;
    ULONG nFileCount;
    lpMapiFileDesc lpFiles;
} MapiMessage, *lpMapiMessage;

#define MAPI_ORIG 0
#define MAPI_TO 1
#define MAPI_CC 2
#define MAPI_BCC 3

#define MAPI_LOGON_UI 0x00000001u
#define MAPI_NEW_SESSION 0x00000002u
#define MAPI_DIALOG 0x00000008u

#define SUCCESS_SUCCESS 0
#define MAPI_USER_ABORT 1
#define MAPI_E_USER_ABORT MAPI_USER_ABORT
#define MAPI_E_FAILURE 2
#define MAPI_E_LOGON_FAILURE 3
#define MAPI_E_LOGIN_FAILURE MAPI_E_LOGON_FAILURE
#define MAPI_E_INSUFFICIENT_MEMORY 5
#define MAPI_E_UNKNOWN_RECIPIENT 14

typedef ULONG(FAR PASCAL MAPISENDMAIL)(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                                       FLAGS flags, ULONG reserved);
typedef MAPISENDMAIL FAR* LPMAPISENDMAIL;

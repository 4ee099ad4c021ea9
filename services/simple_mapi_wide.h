#pragma once
#include <windows.h>

// The wide twins of Simple MAPI's structures, as published with MAPISendMailW (the system's
// mapi.h of this compiler has only the ANSI ones).
struct MapiFileDescW {
    ULONG reserved;
    ULONG flags;
    ULONG position;
    wchar_t* pathName;
    wchar_t* fileName;
    void* fileType;
};
struct MapiMessageW {
    ULONG reserved;
    wchar_t* subject;
    wchar_t* noteText;
    wchar_t* messageType;
    wchar_t* dateReceived;
    wchar_t* conversationId;
    ULONG flags;
    void* originator;
    ULONG recipientCount;
    void* recipients;
    ULONG fileCount;
    MapiFileDescW* files;
};

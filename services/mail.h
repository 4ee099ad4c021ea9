#pragma once
#include <windows.h>

// Recommending the program, and sending it zipped, by e-mail: the user's mail program shows a mail
// in the current language through Simple MAPI, for the user to address and send. Without Simple
// MAPI or a mail program registered for it, nothing happens; a zip that cannot be written or a
// mail program that reports an error is told to the user. The zip is deleted once the mail
// program has taken the mail.

// "Recommend the program": the mail without attachment; page owns the mail program's window.
void RecommendProgram(HWND page);
// "Send the program": the same mail with the program attached as a zip in the temporary folder.
void SendProgram(HWND page);

// Simple MAPI's send call, in its ANSI and its wide form (the message is a MapiMessage or its wide
// twin).
using MapiSendMailFn = ULONG(WINAPI*)(ULONG_PTR session, ULONG_PTR uiParam, void* message, ULONG flags,
                                      ULONG reserved);
struct MailEntries {
    MapiSendMailFn ansi;  // MAPISendMail
    MapiSendMailFn wide;  // MAPISendMailW, where the system has it: texts arrive in any language
};
// The entries of the system's MAPI32.DLL, loaded once and kept; null where missing.
MailEntries SystemMailEntries();
// A mail program is registered for Simple MAPI: the default of Software\Clients\Mail names one.
bool MailProgramRegistered();

// Hands the mail to the mail program: the wide call where there is one, else the ANSI one. The
// subject is cut at its 264-character field; an attachment path that does not fit it is refused
// (a cut path would name another file). True when the mail program took the mail, also when the
// user cancelled it there; mapiResult (if not null) receives Simple MAPI's result.
bool ComposeMail(const MailEntries& entries, HWND owner, const wchar_t* attachment, const wchar_t* subject,
                 const wchar_t* text, ULONG* mapiResult = nullptr);

// Writes a zip holding the running exe as "<product name>.exe" to zipPath, replacing any file
// there; complete when it returns 0, else the system's error code, and then no zip is left behind.
DWORD BuildProgramZip(const wchar_t* zipPath);

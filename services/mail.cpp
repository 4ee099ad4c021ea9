#include "services/mail.h"

#include <mapi.h>

#include "base/core/crc32.h"
#include "base/core/growing_text.h"
#include "base/code_page_text.h"
#include "base/heap_buffer.h"
#include "base/message_box.h"
#include "base/process_state.h"
#include "base/program_path.h"
#include "base/registry_text.h"
#include "base/scoped_handle.h"
#include "base/system_library.h"
#include "base/wide_text.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"
#include "services/core/mail_text.h"
#include "services/core/zip_writer.h"
#include "services/simple_mapi_wide.h"
#include "services/site_address.h"

namespace {

size_t const kCaptionChars = 256;

HKEY const kMailHives[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};  // the user's choice first
wchar_t const kMailClientsKey[] = L"Software\\Clients\\Mail";
ULONG const kComposeFlags = MAPI_LOGON_UI | MAPI_DIALOG;
ULONG const kNoPosition = 0xFFFFFFFF;  // the attachment is not placed in the text
ULONG const kMapiUserAbort = 1;
ULONG const kMapiLoginFailure = 3;
// The program is about 120 KB; anything far larger is not this program's exe.
DWORD const kMaxProgramBytes = 64 * 1024 * 1024;

const wchar_t* FileNameOf(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c)
        if (*c == L'\\') name = c + 1;
    return name;
}

bool ClientKeyExists(const wchar_t* clientName) {
    wchar_t path[ARRAYSIZE(kMailClientsKey) + 256];
    wsprintfW(path, L"%s\\%.255s", kMailClientsKey, clientName);
    for (HKEY hive : kMailHives) {
        ScopedKey key;
        if (RegOpenKeyExW(hive, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) return true;
    }
    return false;
}

// The temporary folder, "Huepeek.zip"; false when that does not fit the attachment field, and
// path then holds the folder.
bool ProgramZipPath(wchar_t* path /* kMailFieldChars */) {
    wchar_t folder[MAX_PATH + 1] = {};
    DWORD const length = GetTempPathW(ARRAYSIZE(folder), folder);
    if (!length || length >= ARRAYSIZE(folder)) return false;
    lstrcpynW(path, folder, int(kMailFieldChars));
    if (size_t(length) + lstrlenW(g_productName) + 4 >= kMailFieldChars) return false;
    wsprintfW(path, L"%s%s.zip", folder, g_productName);
    return true;
}

bool WriteAll(HANDLE file, const void* bytes, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

DWORD WriteZip(const wchar_t* zipPath, const ZipEntry& entry, const BYTE* bytes) {
    uint8_t header[kZipLocalHeaderBytes + kZipNameMax];
    uint8_t directory[kZipDirectoryHeaderBytes + kZipNameMax + kZipEndRecordBytes];
    size_t const headerBytes = ZipLocalHeader(entry, header, sizeof(header));
    size_t const directoryBytes = ZipDirectory(entry, directory, sizeof(directory));
    if (!headerBytes || !directoryBytes) return ERROR_INVALID_NAME;
    // No sharing while it is written: no mail program reads a half-written zip.
    ScopedKernelHandle zip(
        CreateFileW(zipPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!zip.Held()) return GetLastError();
    bool const written = WriteAll(zip, header, DWORD(headerBytes)) && WriteAll(zip, bytes, entry.size) &&
                         WriteAll(zip, directory, DWORD(directoryBytes));
    DWORD const error = written ? 0 : GetLastError();
    bool const closed = zip.Close();
    if (written && closed) return 0;
    DeleteFileW(zipPath);
    return error ? error : ERROR_WRITE_FAULT;
}

void ReportMailFailed(HWND owner, bool attachProgram, ULONG result) {
    GrowingText what;
    what.Append(Utf16(Text(kTextMailFailed)));
    what.Append(u' ');
    what.AppendDecimal(int(result));
    wchar_t caption[kCaptionChars];  // the button's words without its access key
    ShowFailure(owner, TitleText(attachProgram ? kTextSendProgram : kTextRecommend, caption, kCaptionChars),
                Wide(what.Data()), nullptr, 0);
}

void MailProgram(HWND page, bool attachProgram) {
    // Without a mail program the system's MAPI32.DLL would tell the user so: nothing shows instead.
    if (!page || !IsWindow(page) || !MailProgramRegistered()) return;
    MailEntries const entries = SystemMailEntries();
    if (!entries.ansi && !entries.wide) return;
    HWND const owner = GetAncestor(page, GA_ROOT);
    wchar_t zipPath[kMailFieldChars] = {};
    if (attachProgram) {
        DWORD const error = ProgramZipPath(zipPath) ? BuildProgramZip(zipPath) : ERROR_FILENAME_EXCED_RANGE;
        if (error) {
            wchar_t caption[kCaptionChars];
            ShowFailure(owner, TitleText(kTextSendProgram, caption, kCaptionChars), Text(kTextNotWritten),
                        zipPath, error);
            return;
        }
    }
    // Kept off the stack: the mail text may be long.
    static wchar_t s_subject[kMailTextChars];
    static wchar_t s_text[kMailTextChars];
    FillMailSubject(Utf16(Text(kTextMailSubject)), Utf16(g_productName), Utf16(s_subject), kMailTextChars);
    FillMailText(Utf16(Text(kTextMailBody)), Utf16(g_productName), Utf16(BuiltInSiteAddress(false)),
                 Utf16(s_text), kMailTextChars);
    ULONG result = 0;
    bool const taken =
        ComposeMail(entries, page, attachProgram ? zipPath : nullptr, s_subject, s_text, &result);
    // The mail program has taken its copy of the attachment by the time the call returns.
    if (attachProgram) DeleteFileW(zipPath);
    if (!taken) ReportMailFailed(owner, attachProgram, result);
}

}  // namespace

void RecommendProgram(HWND page) {
    MailProgram(page, false);
}

void SendProgram(HWND page) {
    MailProgram(page, true);
}

MailEntries SystemMailEntries() {
    static HMODULE s_mapi;
    if (!s_mapi) s_mapi = LoadSystemLibrary(L"mapi32.dll");
    return {GetProcedure<MapiSendMailFn>(s_mapi, "MAPISendMail"),
            GetProcedure<MapiSendMailFn>(s_mapi, "MAPISendMailW")};
}

bool MailProgramRegistered() {
    for (HKEY hive : kMailHives) {
        wchar_t client[256];
        if (ReadRegistryText(hive, kMailClientsKey, nullptr, client, ARRAYSIZE(client)) && client[0] &&
            ClientKeyExists(client))
            return true;
    }
    return false;
}

bool ComposeMail(const MailEntries& entries, HWND owner, const wchar_t* attachment, const wchar_t* subject,
                 const wchar_t* text, ULONG* mapiResult) {
    ULONG ignored = 0;
    if (!mapiResult) mapiResult = &ignored;
    *mapiResult = MAPI_E_FAILURE;
    if (!owner || !IsWindow(owner) || (!entries.ansi && !entries.wide)) return false;
    bool const attach = attachment && *attachment;
    if (attach && size_t(lstrlenW(attachment)) >= kMailFieldChars) {
        *mapiResult = MAPI_E_ATTACHMENT_NOT_FOUND;
        return false;
    }
    wchar_t subjectField[kMailFieldChars];
    CopyTextCut(Utf16(subject), Utf16(subjectField), kMailFieldChars);
    wchar_t pathField[kMailFieldChars] = {};
    if (attach) lstrcpynW(pathField, attachment, int(kMailFieldChars));
    wchar_t* const fileName = const_cast<wchar_t*>(FileNameOf(pathField));
    wchar_t* const noteText = const_cast<wchar_t*>(text ? text : L"");
    ULONG result;
    if (entries.wide) {
        MapiFileDescW file = {0, 0, kNoPosition, pathField, fileName, nullptr};
        MapiMessageW message = {};
        message.subject = subjectField;
        message.noteText = noteText;
        message.fileCount = attach ? 1 : 0;
        message.files = attach ? &file : nullptr;
        result = entries.wide(0, ULONG_PTR(owner), &message, kComposeFlags, 0);
    } else {
        CodePageText const subjectAnsi(CP_ACP, subjectField), textAnsi(CP_ACP, noteText),
            pathAnsi(CP_ACP, pathField), nameAnsi(CP_ACP, fileName);
        MapiFileDesc file = {0, 0, kNoPosition, pathAnsi.get(), nameAnsi.get(), nullptr};
        MapiMessage message = {};
        message.lpszSubject = subjectAnsi.get();
        message.lpszNoteText = textAnsi.get();
        message.nFileCount = attach ? 1 : 0;
        message.lpFiles = attach ? &file : nullptr;
        result = entries.ansi(0, ULONG_PTR(owner), &message, kComposeFlags, 0);
    }
    *mapiResult = result;
    return result == SUCCESS_SUCCESS || result == kMapiUserAbort || result == kMapiLoginFailure;
}

DWORD BuildProgramZip(const wchar_t* zipPath) {
    char name[kZipNameMax + 1] = {};
    wchar_t wideName[kTitleChars + 4];
    wsprintfW(wideName, L"%.250s.exe", g_productName);
    for (int i = 0; wideName[i]; ++i) {
        if (wideName[i] >= 0x80) return ERROR_INVALID_NAME;
        name[i] = char(wideName[i]);
    }
    ScopedKernelHandle exe(CreateFileW(ProgramPath(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    if (!exe.Held()) return GetLastError();
    FILETIME changed = {};
    LARGE_INTEGER size = {};
    bool const known = GetFileSizeEx(exe, &size) && size.QuadPart <= kMaxProgramBytes &&
                       GetFileTime(exe, nullptr, nullptr, &changed);
    HeapBuffer<BYTE> const bytes(known ? size.LowPart : 0);
    DWORD got = 0;
    bool const read = known && bytes.get() && ReadFile(exe, bytes.get(), size.LowPart, &got, nullptr) &&
                      got == size.LowPart;
    DWORD const readError = read ? 0 : GetLastError();
    exe.Close();
    if (!read) return readError ? readError : ERROR_READ_FAULT;
    ZipEntry entry = {name, size.LowPart, Crc32(bytes.get(), size.LowPart), 0, 0};
    FILETIME local;
    FileTimeToLocalFileTime(&changed, &local);
    FileTimeToDosDateTime(&local, &entry.dosDate, &entry.dosTime);
    return WriteZip(zipPath, entry, bytes.get());
}

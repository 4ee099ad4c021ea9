#include "services/uninstall.h"

#include <shellapi.h>

#include "base/system_calls.h"
#include "base/heap_buffer.h"
#include "base/message_box.h"
#include "base/program_path.h"
#include "base/wide_text.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"
#include "services/core/self_delete_batch.h"
#include "services/site_address.h"
#include "settings/settings_store.h"

namespace {

size_t const kFolderChars = MAX_PATH + 1;  // what GetTempPathW may return, terminator included
size_t const kBatchTextReserve = 512;      // the batch's own words around its paths
size_t const kCaptionChars = 256;

// True when text converts to the code page and back unchanged.
bool FitsCodePage(UINT codePage, const wchar_t* text) {
    BOOL usedDefault = FALSE;
    int const bytes =
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &usedDefault);
    // UTF-8 and a few others take neither the flag nor the question: they hold every character.
    if (!bytes && GetLastError() == ERROR_INVALID_PARAMETER)
        return WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr) > 0;
    return bytes > 0 && !usedDefault;
}

// The path as cmd can read it from a batch in the console's code page: as it stands, or else its
// short form when the file system has one that fits (else as it stands: nothing better exists).
void BatchFormOfPath(const wchar_t* path, wchar_t* out, size_t chars) {
    lstrcpynW(out, path, int(chars));
    if (!*path || FitsCodePage(CP_OEMCP, path)) return;
    HeapBuffer<wchar_t> const shortPath(chars);
    DWORD const length = shortPath.get() ? GetShortPathNameW(path, shortPath.get(), DWORD(chars)) : 0;
    if (length && length < chars && FitsCodePage(CP_OEMCP, shortPath.get()))
        lstrcpynW(out, shortPath.get(), int(chars));
}

bool WriteBatchFile(const wchar_t* path, const wchar_t* text) {
    CodePageText const encoded(CP_OEMCP, text);
    if (!encoded.Length()) return false;
    HANDLE const file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // Without the terminating zero.
    DWORD done = 0;
    bool const written =
        WriteFile(file, encoded.get(), encoded.Length(), &done, nullptr) && done == encoded.Length();
    return CloseHandle(file) && written;
}

}  // namespace

bool WriteSelfDeleteBatch(const wchar_t* exePath, const wchar_t* settingsPath, wchar_t* batchPath,
                          size_t chars) {
    if (!batchPath || !chars) return false;
    batchPath[0] = 0;
    wchar_t folder[kFolderChars] = {};
    DWORD const folderLength = GetTempPathW(DWORD(kFolderChars), folder);
    if (!folderLength || folderLength >= kFolderChars || size_t(folderLength) >= chars) return false;
    lstrcpynW(batchPath, folder, int(chars));
    if (!SelfDeleteBatchName(Utf16(exePath), Utf16(batchPath + folderLength), chars - folderLength)) {
        batchPath[0] = 0;
        return false;
    }
    // A short form can be longer than the long one ("a.b.c" may become "AB~1.C").
    size_t const exeChars = lstrlenW(exePath) + 1 + MAX_PATH;
    size_t const settingsChars = lstrlenW(settingsPath ? settingsPath : L"") + 1 + MAX_PATH;
    HeapBuffer<wchar_t> const exeForm(exeChars), settingsForm(settingsChars);
    // Each "%" may double: room for twice the paths.
    size_t const textChars = 4 * (exeChars + settingsChars) + kBatchTextReserve;
    HeapBuffer<wchar_t> const text(textChars);
    if (!exeForm.get() || !settingsForm.get() || !text.get()) return false;
    BatchFormOfPath(exePath, exeForm.get(), exeChars);
    BatchFormOfPath(settingsPath ? settingsPath : L"", settingsForm.get(), settingsChars);
    return BuildSelfDeleteBatch(Utf16(exeForm.get()), Utf16(settingsForm.get()), kSelfDeleteTries,
                                Utf16(text.get()), textChars) &&
           WriteBatchFile(batchPath, text.get());
}

void Uninstall(const UninstallHost& host) {
    UINT const style = MB_YESNOCANCEL | MB_ICONQUESTION | MB_TOPMOST;
    wchar_t caption[kCaptionChars];
    if (ShowMessage(GetActiveWindow(), Text(kTextAreYouSure), TitleText(kTextInfo, caption, kCaptionChars),
                    style) != IDYES)
        return;
    if (host.removeAutostart) host.removeAutostart();
    wchar_t batch[kFolderChars + MAX_PATH];
    if (WriteSelfDeleteBatch(ProgramPath(), SettingsFilePath(), batch, ARRAYSIZE(batch))) {
        wchar_t folder[kFolderChars] = {};
        GetTempPathW(DWORD(kFolderChars), folder);
        ShellOpen(nullptr, L"open", batch, nullptr, folder, SW_HIDE);
    }
    OpenSitePage(SitePage::kUninstall);
    if (host.endProgram) host.endProgram();
}

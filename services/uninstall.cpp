#include "services/uninstall.h"

#include <shellapi.h>

#include "base/code_page_text.h"
#include "base/core/growing_text.h"
#include "base/heap_buffer.h"
#include "base/message_box.h"
#include "base/program_path.h"
#include "base/scoped_handle.h"
#include "base/system_calls.h"
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

// cmd reads a batch in the console's code page, which starts as the OEM one.
bool ConsoleHoldsExactly(const wchar_t* path) {
    return CodePageText(CP_OEMCP, path, CodePageFit::kExact).get() != nullptr;
}

// A path that cmd cannot be handed exactly is refused as the file system would refuse it.
UninstallFault FaultOf(BatchPathFault fault, int what, const wchar_t* path) {
    switch (fault) {
        case BatchPathFault::kNone: break;
        case BatchPathFault::kTooLong: return {what, path, ERROR_FILENAME_EXCED_RANGE};
        case BatchPathFault::kPercent:
        case BatchPathFault::kNotExact: return {what, path, ERROR_INVALID_NAME};
    }
    return {};
}

UninstallFault NameInBatch(const wchar_t* path, BatchFile* file) {
    file->path = Utf16(path);
    file->throughVariable = !ConsoleHoldsExactly(path);
    return FaultOf(CheckBatchFilePath(file->path, file->throughVariable), kTextNotDeleted, path);
}

UninstallFault WriteBatchFile(const wchar_t* path, const wchar_t* text) {
    CodePageText const encoded(CP_OEMCP, text, CodePageFit::kExact);
    if (!encoded.get()) return {kTextNotWritten, path, ERROR_NO_UNICODE_TRANSLATION};
    // An older batch of the name goes first. One that cannot go is still in use (another copy of
    // the same name still uninstalling): it is never written over, since cmd reads a batch line by
    // line from its file while it runs.
    DWORD const inUse = DeleteFileW(path) ? 0 : GetLastError();
    ScopedKernelHandle file(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Held()) {
        DWORD const error = GetLastError();
        return {kTextNotWritten, path, error == ERROR_FILE_EXISTS && inUse ? inUse : error};
    }
    // Without the terminating zero.
    DWORD done = 0;
    bool const written =
        WriteFile(file, encoded.get(), encoded.Length(), &done, nullptr) && done == encoded.Length();
    DWORD const error = written ? 0 : GetLastError();
    if (file.Close() && written) return {};
    DeleteFileW(path);
    return {kTextNotWritten, path, error ? error : ERROR_WRITE_FAULT};
}

// The question names the files that go; No is the default, so that a stray Enter deletes nothing.
bool UserConfirms(const wchar_t* exePath, const wchar_t* settingsPath) {
    GrowingText question;
    question.Append(Utf16(Text(kTextUninstallDeletes)));
    const wchar_t* const paths[] = {exePath, settingsPath};
    for (const wchar_t* path : paths) {
        if (!path || !*path) continue;
        question.Append(u'\n');
        AppendPath(&question, path);
    }
    question.AppendAscii("\n\n");
    question.Append(Utf16(Text(kTextAreYouSure)));
    UINT const style = MB_YESNOCANCEL | MB_ICONQUESTION | MB_TOPMOST | MB_DEFBUTTON2;
    // The caption without the access key that the Info button's text carries.
    wchar_t caption[kCaptionChars];
    return ShowMessage(GetActiveWindow(), Wide(question.Data()), TitleText(kTextInfo, caption, kCaptionChars),
                       style) == IDYES;
}

void ReportFault(const UninstallFault& fault) {
    wchar_t caption[kCaptionChars];  // the button's words without its access key
    ShowFailure(GetActiveWindow(), TitleText(kTextUninstall, caption, kCaptionChars), Text(fault.what),
                fault.path, fault.error);
}

}  // namespace

UninstallFault WriteSelfDeleteBatch(const wchar_t* exePath, const wchar_t* settingsPath,
                                    wchar_t (&batchPath)[kBatchPathChars]) {
    batchPath[0] = 0;
    if (!settingsPath) settingsPath = L"";
    BatchFile exe = {}, settings = {};
    UninstallFault fault = NameInBatch(exePath ? exePath : L"", &exe);
    if (!fault.what && *settingsPath) fault = NameInBatch(settingsPath, &settings);
    if (fault.what) return fault;

    wchar_t folder[kFolderChars] = {};
    DWORD const folderLength = GetTempPathW(DWORD(kFolderChars), folder);
    if (!folderLength) return {kTextNotWritten, nullptr, GetLastError()};
    if (folderLength >= kFolderChars) return {kTextNotWritten, nullptr, ERROR_FILENAME_EXCED_RANGE};
    lstrcpynW(batchPath, folder, int(kBatchPathChars));
    if (!SelfDeleteBatchName(exe.path, Utf16(batchPath + folderLength), kBatchPathChars - folderLength)) {
        batchPath[0] = 0;
        return {kTextNotWritten, exePath, ERROR_FILENAME_EXCED_RANGE};
    }
    // The shell hands the batch's own path to cmd, which cannot take every path.
    fault = FaultOf(CheckBatchOwnPath(Utf16(batchPath)), kTextNotWritten, batchPath);
    if (fault.what) return fault;

    // Each "%" may double: room for twice the paths, three times over.
    size_t const textChars = 6 * (size_t(lstrlenW(exePath)) + lstrlenW(settingsPath)) + kBatchTextReserve;
    HeapBuffer<wchar_t> const text(textChars);
    if (!text.get() || !BuildSelfDeleteBatch(exe, settings, kSelfDeleteTries, Utf16(text.get()), textChars))
        return {kTextNotWritten, batchPath, ERROR_NOT_ENOUGH_MEMORY};
    return WriteBatchFile(batchPath, text.get());
}

UninstallFault StartSelfDeleteBatch(const wchar_t* batchPath, const wchar_t* exePath,
                                    const wchar_t* settingsPath, HANDLE* process) {
    if (process) *process = nullptr;
    wchar_t folder[kFolderChars] = {};
    lstrcpynW(folder, batchPath, int(kFolderChars));
    for (int end = lstrlenW(folder); end > 0 && folder[end - 1] != L'\\'; --end) folder[end - 1] = 0;
    // The batch's cmd inherits this process's environment; the variables go again at once.
    SetEnvironmentVariableW(Wide(kSelfDeleteExeVariable), exePath);
    SetEnvironmentVariableW(Wide(kSelfDeleteSettingsVariable),
                            settingsPath && *settingsPath ? settingsPath : nullptr);
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | (process ? SEE_MASK_NOCLOSEPROCESS : 0);
    run.lpVerb = L"open";
    run.lpFile = batchPath;
    run.lpDirectory = folder;
    run.nShow = SW_HIDE;
    BOOL const started = ShellOpenExtended(&run);
    DWORD const error = started ? 0 : GetLastError();
    SetEnvironmentVariableW(Wide(kSelfDeleteExeVariable), nullptr);
    SetEnvironmentVariableW(Wide(kSelfDeleteSettingsVariable), nullptr);
    if (!started) return {kTextNotWritten, batchPath, error ? error : ERROR_FILE_NOT_FOUND};
    if (process) *process = run.hProcess;
    return {};
}

bool Uninstall() {
    const wchar_t* const exe = ProgramPath();
    const wchar_t* const settings = SettingsFilePath();
    if (!UserConfirms(exe, settings)) return false;
    // Nothing changes until the batch runs: the autostart entry and the program stay when it cannot.
    wchar_t batch[kBatchPathChars];
    UninstallFault fault = WriteSelfDeleteBatch(exe, settings, batch);
    if (!fault.what) {
        fault = StartSelfDeleteBatch(batch, exe, settings, nullptr);
        if (fault.what) DeleteFileW(batch);
    }
    if (fault.what) {
        ReportFault(fault);
        return false;
    }
    OpenSitePage(SitePage::kUninstall);
    return true;
}

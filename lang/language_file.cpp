#include "lang/language_file.h"

#include <commdlg.h>
#include <shellapi.h>

#include "base/system_calls.h"
#include "base/message_box.h"
#include "base/process_state.h"
#include "base/scoped_handle.h"
#include "base/system_library.h"
#include "base/whole_file.h"
#include "base/wide_text.h"
#include "lang/core/language_archive.h"
#include "lang/core/language_file.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"

namespace {

wchar_t const kReportCaption[] = L"Translate";

size_t ConvertFromAnsi(const uint8_t* bytes, size_t size, char16_t* out, size_t outChars) {
    if (size == 0 || size > 0x7FFFFFFF || outChars > 0x7FFFFFFF) return 0;
    int const units = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), int(size),
                                          Wide(out), out ? int(outChars) : 0);
    return units > 0 ? size_t(units) : 0;
}

// The template's path in the temporary folder. When the name does not fit behind the folder, path
// holds the folder alone and the result is false.
bool BuildTemplatePath(wchar_t* path) {
    wchar_t const prefix[] = L"translate_";
    wchar_t const suffix[] = L".txt";
    DWORD const folder = GetTempPathW(MAX_PATH, path);
    if (folder == 0 || folder >= MAX_PATH) {
        path[0] = 0;
        return false;
    }
    size_t const total = folder + lstrlenW(prefix) + lstrlenW(g_productName) + lstrlenW(suffix);
    if (total >= MAX_PATH) return false;
    lstrcatW(path, prefix);
    lstrcatW(path, g_productName);
    lstrcatW(path, suffix);
    return true;
}

void Refuse(const char16_t* reason, const wchar_t* path, GrowingText* message) {
    message->Clear();
    message->Append(reason);
    message->AppendAscii("\n\n");
    message->Append(Utf16(path));
}

// A file that holds no text at all would turn every text into a placeholder: it is refused with
// the reason, in the program's own language, since the file in force may lack these texts.
bool RefuseContent(LanguageFileContent content, const wchar_t* path, GrowingText* message) {
    switch (content) {
        case LanguageFileContent::kText: return false;
        case LanguageFileContent::kNoMemory:
            Refuse(u"There is not enough memory to load the language file:", path, message);
            break;
        case LanguageFileContent::kEmpty:
            Refuse(Utf16(BuiltInText(kTextLanguageFileEmpty)), path, message);
            break;
        case LanguageFileContent::kMarkOnly:
            Refuse(Utf16(BuiltInText(kTextLanguageFileMarkOnly)), path, message);
            break;
        case LanguageFileContent::kBigEndian:
            Refuse(Utf16(BuiltInText(kTextLanguageFileBigEndian)), path, message);
            message->AppendAscii("\n\n");
            message->Append(Utf16(BuiltInText(kTextSaveAsUtf8)));
            break;
    }
    return true;
}

}  // namespace

bool WriteTranslationTemplate(wchar_t* path, DWORD* error) {
    DWORD ignored = 0;
    if (!error) error = &ignored;
    *error = 0;
    path[0] = 0;
    if (!BuildTemplatePath(path)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    GrowingText content;
    LanguageArchive const& archive = g_language.Archive();
    BuildTranslationTemplate(ProductString(archive, kProductTranslationRequest),
                             ProductString(archive, kProductNameVersion), archive.referenceCopy, &content);
    if (content.Failed()) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    DeleteFileW(path);
    // Created anew even if the old file could not be deleted, so no tail of a longer one remains.
    ScopedKernelHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Held()) {
        *error = GetLastError();
        return false;
    }
    size_t const bytes = content.Length() * sizeof(char16_t);
    DWORD written = 0;
    bool const ok = bytes <= 0x7FFFFFFF && WriteFile(file, content.Data(), DWORD(bytes), &written, nullptr) &&
                    written == bytes;
    if (!ok) *error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    return ok;
}

void OpenTranslationTemplate() {
    wchar_t path[MAX_PATH];
    DWORD error = 0;
    // Only the template is opened: where it cannot be written, the user learns why and where.
    if (WriteTranslationTemplate(path, &error)) {
        ShellOpen(nullptr, L"open", path, nullptr, nullptr, SW_SHOW);
        return;
    }
    ShowFailure(GetActiveWindow(), kReportCaption, Text(kTextNotWritten), path, error);
}

bool LoadLanguageFile(const wchar_t* path, GrowingText* message) {
    FileBytes file;
    switch (ReadWholeFile(path, kMaxLanguageFileBytes, &file)) {
        case FileRead::kRead: break;
        case FileRead::kTooLarge:
            Refuse(u"This file is too large to be a language file:", path, message);
            return false;
        case FileRead::kUnreadable: Refuse(u"The language file cannot be read:", path, message); return false;
    }
    GrowingText text;
    LanguageFileContent content = DecodeLanguageFile(file.data, file.size, ConvertFromAnsi, &text);
    if (content == LanguageFileContent::kText && !text.MutableData())
        content = LanguageFileContent::kNoMemory;
    if (RefuseContent(content, path, message)) return false;
    g_language.UseFile(&text);
    BuildMissingTextReport(g_language.Archive().table[kReferenceSlot], g_language.FileTable(), message);
    return true;
}

bool ChooseLanguageFile(HWND owner) {
    wchar_t path[MAX_PATH] = {};
    wchar_t title[MAX_PATH] = {};
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    // Owned by the main dialog, so that it cannot open a second menu or dialog meanwhile.
    open.hwndOwner = owner;
    open.lpstrFile = path;
    open.nMaxFile = MAX_PATH;
    open.lpstrFileTitle = title;
    open.nMaxFileTitle = MAX_PATH;
    // comdlg32 uses comctl32, which the manifest redirects; loaded at run time from the system folder.
    using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    auto const getOpenFileName =
        GetProcedure<GetOpenFileNameFn>(LoadSideBySideLibrary(L"comdlg32.dll"), "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&open)) return false;
    GrowingText message;
    LoadLanguageFile(path, &message);
    ShowMessage(GetActiveWindow(), Wide(message.Data()), kReportCaption, MB_OK);
    return true;
}

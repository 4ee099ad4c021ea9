#pragma once
// What the language-file tests share: the archive of the exe built beside them, files in a folder
// of their own, and a user on a second thread who answers the system's open dialog and the report
// box of this process the way a person would, typing and clicking.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/process_state.h"
#include "harness.h"
#include "lang/core/language_file.h"
#include "lang/string_table.h"
#include "settings/settings_store.h"

namespace translator {

int const kFileNameEdit = 1148;  // the open dialog's file-name box, a ComboBoxEx32
DWORD const kDialogTimeoutMs = 10000;

inline bool LoadShippedArchive() {
    static bool const loaded = g_language.LoadArchive(e2e::HuepeekPath().c_str());
    return loaded;
}

inline std::wstring TestFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring const folder = std::wstring(temp) + L"huepeek_language_files\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

using e2e::ReadFileBytes;
using e2e::Utf16WithMark;

inline std::wstring WriteFileBytes(const std::wstring& name, const std::vector<BYTE>& bytes) {
    std::wstring const path = TestFolder() + name;
    e2e::WriteFileBytes(path, bytes);
    return path;
}

inline std::vector<BYTE> Ansi(const std::string& text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

// The English lines of the exe's reference section, e.g. "20=Exit", in order.
inline std::vector<std::wstring> EnglishLines() {
    std::vector<std::wstring> lines;
    for (int id = 0; id < kStringIdCount; id++) {
        const char16_t* text = g_language.Archive().table[kReferenceSlot][id];
        if (text && *text)
            lines.push_back(std::to_wstring(id) + L"=" + reinterpret_cast<const wchar_t*>(text));
    }
    return lines;
}

inline std::wstring OwnText(HWND hwnd) {
    std::wstring text(size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd, &text[0], int(text.size()))));
    return text;
}

inline std::wstring SaveWindowPicture(HWND hwnd, const wchar_t* name) {
    // The window's thread paints it, then comes round to its messages again.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    e2e::DrainMessages(hwnd);
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    std::wstring const path = ScreenshotDir() + L"\\" + name + L".png";
    SaveScreenshot(rect, path);
    return path;
}

// The open dialog of this process (its file-name box tells it from a message box).
inline HWND WaitForOpenDialog() {
    HWND dialog = nullptr;
    e2e::WaitUntil(
        [&] {
            dialog = e2e::FindTopWindow(L"#32770", nullptr, GetCurrentProcessId());
            return dialog && GetDlgItem(dialog, kFileNameEdit);
        },
        kDialogTimeoutMs);
    return dialog && GetDlgItem(dialog, kFileNameEdit) ? dialog : nullptr;
}

// Types the path into the file-name box and presses the open button; an empty path cancels.
inline bool AnswerOpenDialog(const std::wstring& path, const wchar_t* screenshot = nullptr) {
    HWND const dialog = WaitForOpenDialog();
    if (!dialog) return false;
    if (path.empty()) return e2e::ClickButton(GetDlgItem(dialog, IDCANCEL));
    std::vector<HWND> const edits = e2e::ChildWindows(GetDlgItem(dialog, kFileNameEdit), L"Edit");
    if (edits.empty() || !e2e::SetTextOf(edits.front(), path)) return false;
    if (screenshot) SaveWindowPicture(dialog, screenshot);
    return e2e::ClickButton(GetDlgItem(dialog, IDOK));
}

struct MessageBoxSeen {
    std::wstring text;
    HWND owner = nullptr;
};

// Waits for the message box with the caption, reads it and presses OK.
inline bool AnswerMessageBox(const wchar_t* caption, MessageBoxSeen* seen,
                             const wchar_t* screenshot = nullptr) {
    HWND const box = e2e::WaitForWindow(L"#32770", caption, GetCurrentProcessId(), kDialogTimeoutMs);
    if (!box) return false;
    seen->text = OwnText(GetDlgItem(box, 0xFFFF));
    seen->owner = GetWindow(box, GW_OWNER);
    if (screenshot) SaveWindowPicture(box, screenshot);
    return e2e::ClickButton(GetDlgItem(box, IDOK));
}

// Every test starts with English, no language file and no settings.
class TranslatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LoadShippedArchive());
        lstrcpyW(g_productName, L"Huepeek");
        g_language.Use(1);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vantorel\\Huepeek");
    }
    void TearDown() override {
        g_language.Use(1);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Vantorel\\Huepeek");
    }
};

}  // namespace translator

#include "base/message_box.h"

#include "base/core/text.h"
#include "base/wide_text.h"

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    if (!owner) type |= MB_SETFOREGROUND;
    if (ReadsRightToLeft(Utf16(text))) type |= MB_RTLREADING | MB_RIGHT;
    return MessageBoxW(owner, text, caption, type);
}

void AppendPath(GrowingText* text, const wchar_t* path) {
    size_t const kLineChars = 48;
    size_t line = 0;
    for (const wchar_t* c = path; *c; ++c) {
        text->Append(char16_t(*c));
        ++line;
        bool const wanted = (*c == L'\\' && line >= kLineChars) || line >= 2 * kLineChars;
        if (wanted && c[1] && !IsHighSurrogate(char16_t(*c))) {
            text->Append(u'\n');
            line = 0;
        }
    }
}

void ShowFailure(HWND owner, const wchar_t* caption, const wchar_t* what, const wchar_t* path, DWORD error) {
    GrowingText text;
    text.Append(Utf16(what));
    if (path && *path) {
        text.Append(u'\n');
        AppendPath(&text, path);
    }
    wchar_t reason[512] = {};
    if (error && FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                reason, ARRAYSIZE(reason), nullptr)) {
        // The system's words end in a line break.
        for (int end = lstrlenW(reason); end > 0 && IsBlank(char16_t(reason[end - 1])); --end)
            reason[end - 1] = 0;
        text.AppendAscii("\n\n");
        text.Append(Utf16(reason));
    }
    ShowMessage(owner, Wide(text.Data()), caption, MB_OK | MB_ICONERROR);
}

#include "picker/clipboard_export.h"

#include "picker/core/colour_forms.h"
#include "picker/picker_window.h"

namespace {

// Another program (a clipboard manager, a remote-desktop client) may hold the clipboard open for a
// moment just when the user copies: try again for about 100 ms before giving up.
int const kOpenAttempts = 10;
DWORD const kOpenRetryMs = 10;

bool OpenClipboardPatiently() {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(kOpenRetryMs);
    }
    return false;
}

}  // namespace

void KeyText(UINT key, wchar_t* out) {
    char16_t* const text = reinterpret_cast<char16_t*>(out);
    ZeroMemory(out, kColourTextChars * sizeof(wchar_t));
    switch (key) {
        case '1':
            text[0] = u'#';
            HexForm(g_currentColour, text + 1);
            break;
        case '2':
            text[0] = u'#';
            HexAlphaForm(g_currentColour, text + 1);
            break;
        case '3':
        case '4': DecimalForm(g_currentColour, text); break;
    }
}

bool CopyText(const wchar_t* text) {
    if (!text || !*text) return false;
    if (!OpenClipboardPatiently()) return false;
    EmptyClipboard();
    size_t const length = lstrlenW(text);
    bool copied = false;
    if (HGLOBAL const memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (length + 2) * sizeof(wchar_t))) {
        if (void* const target = GlobalLock(memory)) {
            CopyMemory(target, text, (length + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
            copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!copied) GlobalFree(memory);
    }
    CloseClipboard();
    return copied;
}

void CopyForKey(UINT key) {
    wchar_t text[kColourTextChars];
    KeyText(key, text);
    CopyText(text);
}

void CopyAndEnd(UINT key) {
    CopyForKey(key);
    HidePicker();
}

#include "picker/clipboard_export.h"

#include "base/wide_text.h"
#include "picker/core/colour_forms.h"

namespace {

// Another program (a clipboard manager, a remote-desktop client) may hold the clipboard open just
// when the user copies, for a moment or, busy with a large picture, for a few hundred milliseconds:
// try again for about half a second before giving up, the window standing still meanwhile. A
// clipboard held longer keeps what it had. Counted in tries, not by the clock: a machine too loaded
// to run this thread for a while still gets every try.
int const kOpenAttempts = 50;
DWORD const kOpenRetryMs = 10;

bool OpenClipboardPatiently() {
    for (int attempt = 1;; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        if (attempt == kOpenAttempts) return false;
        Sleep(kOpenRetryMs);
    }
}

}  // namespace

void KeyText(UINT key, COLORREF colour, wchar_t* out) {
    char16_t* const text = Utf16(out);
    ZeroMemory(out, kColourTextChars * sizeof(wchar_t));
    switch (key) {
        case '1':
            text[0] = u'#';
            HexForm(colour, text + 1);
            break;
        case '2':
            text[0] = u'#';
            HexAlphaForm(colour, text + 1);
            break;
        case '3':
        case '4': DecimalForm(colour, text); break;
    }
}

bool CopyText(const wchar_t* text) {
    if (!text || !*text) return false;
    // Made before the clipboard is emptied: a failed allocation must not lose what the user had.
    size_t const length = lstrlenW(text);
    HGLOBAL const memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (length + 2) * sizeof(wchar_t));
    if (!memory) return false;
    void* const target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    CopyMemory(target, text, (length + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    bool copied = false;
    if (OpenClipboardPatiently()) {
        EmptyClipboard();
        copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    // Once set, the memory belongs to the clipboard.
    if (!copied) GlobalFree(memory);
    return copied;
}

void CopyForKey(UINT key, COLORREF colour) {
    wchar_t text[kColourTextChars];
    KeyText(key, colour, text);
    CopyText(text);
}

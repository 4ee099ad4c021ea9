#include "base/code_page_text.h"

namespace {

// Bytes with the terminator; 0 on failure, and with kExact when a character has no exact form.
int Convert(UINT codePage, CodePageFit fit, const wchar_t* text, char* out, int outBytes) {
    bool const exact = fit == CodePageFit::kExact;
    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(codePage, exact ? WC_NO_BEST_FIT_CHARS : 0, text, -1, out, outBytes,
                                    nullptr, exact ? &usedDefault : nullptr);
    // UTF-8 (a console code page of Windows 10 and later) and a few others take neither the flag nor
    // the question; the way back tells whether they kept every character.
    DWORD const error = bytes || !exact ? 0 : GetLastError();
    if (error == ERROR_INVALID_FLAGS || error == ERROR_INVALID_PARAMETER)
        bytes = WideCharToMultiByte(codePage, 0, text, -1, out, outBytes, nullptr, nullptr);
    return usedDefault ? 0 : bytes;
}

}  // namespace

CodePageText::CodePageText(UINT codePage, const wchar_t* text, CodePageFit fit)
    : bytes_(text ? Convert(codePage, fit, text, nullptr, 0) : 0), buffer_(bytes_ > 0 ? size_t(bytes_) : 1) {
    // Without a buffer the second conversion fails too.
    if (bytes_ <= 0 || Convert(codePage, fit, text, buffer_.get(), bytes_) != bytes_ ||
        (fit == CodePageFit::kExact && !ConvertsBack(codePage, text)))
        bytes_ = 0;
}

bool CodePageText::ConvertsBack(UINT codePage, const wchar_t* text) const {
    int const chars = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, buffer_.get(), bytes_, nullptr, 0);
    if (chars != lstrlenW(text) + 1) return false;
    HeapBuffer<wchar_t> const back{size_t(chars)};
    return back.get() &&
           MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, buffer_.get(), bytes_, back.get(), chars) ==
               chars &&
           lstrcmpW(back.get(), text) == 0;
}

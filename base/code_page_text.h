#pragma once
#include <windows.h>

#include "base/heap_buffer.h"

// How a character without a form in the code page is taken.
enum class CodePageFit {
    kClosest,  // the system's look-alike ("best fit") or its default "?": for texts a person reads
    kExact,    // not at all: the whole text is refused, for names a program must find again
};

// A wide text converted to a code page (CP_ACP for the ANSI calls, CP_OEMCP for the console), with
// its terminator. get() is null when the text is null or the conversion fails; with kExact also when
// the bytes do not convert back to the same text.
class CodePageText {
  public:
    CodePageText(UINT codePage, const wchar_t* text, CodePageFit fit = CodePageFit::kClosest);
    char* get() const { return bytes_ > 0 ? buffer_.get() : nullptr; }
    DWORD Length() const { return bytes_ > 0 ? DWORD(bytes_ - 1) : 0; }  // without the terminator

  private:
    bool ConvertsBack(UINT codePage, const wchar_t* text) const;

    int bytes_;
    HeapBuffer<char> buffer_;
};

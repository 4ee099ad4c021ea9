#pragma once
#include <stddef.h>

// A zero-terminated UTF-16 text that grows as it is appended to, for texts without a natural
// limit (a language file, the translation template, the missing-text report). When memory runs
// out it keeps what it has, stops growing and says so in Failed().
class GrowingText {
  public:
    GrowingText() = default;
    ~GrowingText();
    GrowingText(const GrowingText&) = delete;
    GrowingText& operator=(const GrowingText&) = delete;

    const char16_t* Data() const { return data_ ? data_ : u""; }
    char16_t* MutableData();  // writable, zero-terminated; valid until the next append
    size_t Length() const { return length_; }
    bool Failed() const { return failed_; }

    void Append(const char16_t* text);  // null appends nothing
    void Append(const char16_t* text, size_t units);
    void Append(char16_t c) { Append(&c, 1); }
    void AppendAscii(const char* text);
    void AppendDecimal(int value);
    // Room for units more units behind the text; false (and Failed()) when memory runs out.
    bool Reserve(size_t units);
    char16_t* End() { return data_ + length_; }  // after Reserve: write there, then Grow
    void Grow(size_t units);                     // takes units written at End() into the text
    void Clear();                                // empty again; keeps the memory
    void Swap(GrowingText& other);

  private:
    char16_t* data_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;  // units, terminator included
    bool failed_ = false;
};

#pragma once
#include <stddef.h>

// Appends to a zero-terminated UTF-16 text in a buffer of fixed capacity (units, terminator
// included), keeping it terminated after every step. A text that does not fit is cut at the last
// whole character: once a unit is refused every later one is too, and the text never ends in the
// first half of a surrogate pair that was cut.
class BoundedText {
  public:
    BoundedText(char16_t* out, size_t capacity);  // empties out; nothing fits when capacity is 0

    void Put(char16_t c);
    void Put(const char16_t* text);  // null puts nothing
    void PutDecimal(int value);      // as "%d"
    void PutHex(int value);          // as "%02X"

    bool Whole() const { return !cut_; }  // everything put so far fitted
    size_t Length() const { return length_; }

  private:
    void Cut();

    char16_t* out_;
    size_t capacity_;
    size_t length_ = 0;
    bool cut_ = false;
};

#pragma once
#include <stddef.h>

// Small helpers for zero-terminated UTF-16 texts (char16_t, the same units as Windows' wchar_t).

size_t TextLength(const char16_t* text);                        // 0 for null
bool ContainsText(const char16_t* text, const char16_t* word);  // case-sensitive; "" is in every text
bool EqualsText(const char16_t* a, const char16_t* b);          // false when either is null
bool IsHighSurrogate(char16_t c);

// Whether a text reads from right to left: its first letter of a strong direction is Hebrew or
// Arabic (Persian included). Texts without such a letter (digits, "#", Latin) read left to right.
bool ReadsRightToLeft(const char16_t* text);

// A control's text as a title shows it: without its access key, that is without the "&" before a
// character or, as East Asian texts mark it, without the "(&X)" that follows the words. "&&", a
// plain "&" in a control's text, stays. Writes at most chars units with the terminator; returns
// the length written.
size_t WithoutAccessKey(const char16_t* text, char16_t* out, size_t chars);

// White space as the C library's isspace sees it in the "C" locale: blank, tab, LF, VT, FF, CR.
bool IsBlank(char16_t c);

// Decimal text to int. The two readers differ on purpose, each reading its texts the way the files
// and settings that users hold expect:
// - ParseKeyNumber reads the keys of language files as wcstol does: white space, one sign, digits;
//   too many digits saturate at INT_MIN or INT_MAX, so a huge key stays outside every table.
// - ParseSettingNumber reads stored settings and the colour dialog's fields as the C library's
//   atoi does in practice: the same syntax, but too many digits wrap modulo 2^32 (defined here,
//   unlike signed overflow), so a field of "4294967295" keeps its low byte 255.
// Both give 0 when there are no digits.
int ParseKeyNumber(const char16_t* text);
int ParseSettingNumber(const char16_t* text);

// Writes value as "%d" into out (at least kDecimalChars units); returns the length written.
size_t const kDecimalChars = 12;
size_t FormatDecimal(int value, char16_t* out);

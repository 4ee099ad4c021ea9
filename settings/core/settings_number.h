#pragma once

// Settings are integers stored as decimal text. These are the rules by which a stored text becomes
// a number and a user's language becomes a language slot.

// Leading white space, one optional sign, digits up to the first other character; no digits give 0.
// Like the C library without its overflow check: too many digits wrap around modulo 2^32 (defined
// here, unlike signed overflow).
int ParseSettingNumber(const char16_t* text);

// No bounds when either bound is -1; otherwise limited to at most maximum, then to at least minimum.
int LimitSettingNumber(int value, int minimum, int maximum);

// The automatic language slot for a primary language (the low 10 bits of a LANGID).
int AutomaticLanguageIndex(unsigned primaryLanguage);

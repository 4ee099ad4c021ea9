#pragma once
#include <windows.h>

// Reads the value valueName of key (or of its subkey subKey, when not null) as text into out, which
// holds chars units, terminator included. Only a string that is whole and fits counts: REG_SZ or
// REG_EXPAND_SZ (left unexpanded) ending in its terminator, or REG_MULTI_SZ ending in its two (out
// then holds its first string); anything else (another type, data without its terminator, an odd
// number of bytes, a longer text) reads as absent. False when absent; out is then empty.
bool ReadRegistryText(HKEY key, const wchar_t* subKey, const wchar_t* valueName, wchar_t* out, size_t chars);

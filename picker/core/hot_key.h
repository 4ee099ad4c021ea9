#pragma once
#include <stddef.h>

// The global hot key that opens the picker, as the setting "hotkey" keeps it: the modifiers as
// RegisterHotKey takes them, shifted left by 8, plus the virtual-key code. 0 means no hot key.

int const kHotKeyAlt = 1;
int const kHotKeyControl = 2;
int const kHotKeyShift = 4;
int const kHotKeyWin = 8;
int const kNoHotKey = 0;
int const kDefaultHotKey = (kHotKeyWin | kHotKeyShift) << 8 | 'C';  // Win+Shift+C, 3139

inline int MakeHotKey(int modifiers, int key) {
    return modifiers << 8 | key;
}
inline int HotKeyModifiers(int combination) {
    return combination >> 8 & 0xFF;
}
inline int HotKeyKey(int combination) {
    return combination & 0xFF;
}

// Known modifier bits only, and a key that is neither missing, a mouse button nor a modifier itself.
bool IsValidHotKey(int combination);

// The combination in force for the stored text (null: nothing stored). The text must be a number as
// the store writes it: 0 turns the hot key off, a valid combination is itself, and anything else
// (garbage, an unknown bit, no key) counts as the default, while the stored text stays as it is.
int HotKeyFromSetting(const char16_t* stored);

// The combination as users read it: "Win+Shift+C", "Ctrl+Alt+F9"; empty for 0. A key of no name of
// its own here (the punctuation keys, whose characters depend on the keyboard layout) takes
// keyName when that is given, else its code, as in "Ctrl+0xBA".
size_t const kHotKeyNameChars = 64;
void HotKeyName(int combination, const char16_t* keyName, char16_t* out /* kHotKeyNameChars */);
// Whether HotKeyName names the key by itself.
bool HasOwnKeyName(int key);

#pragma once

// The platform-neutral code keeps UTF-16 as char16_t; Windows calls take wchar_t, the same 16-bit
// units on this platform.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16");

inline const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* Wide(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}
inline const char16_t* Utf16(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}
inline char16_t* Utf16(wchar_t* text) {
    return reinterpret_cast<char16_t*>(text);
}

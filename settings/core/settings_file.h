#pragma once
#include <stddef.h>

// The portable settings file: the exe's path with its extension replaced by ".ini"
// (C:\Tools\huepeek.exe gives C:\Tools\huepeek.ini; a name without extension gets ".ini" added).
// Only the file name's last "." counts, never one in a folder's name. False, with an empty text,
// when it does not fit.
bool PortableSettingsPath(const char16_t* exePath, char16_t* out, size_t capacity);

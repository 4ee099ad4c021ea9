#pragma once
#include <windows.h>

#include "lang/core/language_archive.h"

// The texts of the language archive inside the exe, and the lookup every visible text goes through.

extern LanguageArchive g_archive;
extern int g_externalLanguage;  // 1 while a language file of the user's is in force
extern const char16_t* g_externalTable[kStringIdCount];

// Reads the exe, finds the archive between its markers, decodes and parses it. On failure tells
// the user, posts the quit message with 0 and returns false.
bool LoadLanguageArchive();
// The same from a given executable file, without telling the user (tests and benchmarks).
bool LoadLanguageArchiveFrom(const wchar_t* path);

// The text for a string ID in the current language; never null. A placeholder names a missing ID;
// for the IDs 0 to 254 it stays valid until the process ends, like every built-in text.
const wchar_t* Text(int id);
// The same as a title shows it, without the access key that a button's caption carries; written
// into buffer (chars units), which is returned.
const wchar_t* TitleText(int id, wchar_t* buffer, size_t chars);
// The same from the archive, also while a language file is in force: for what is said about such a
// file, which may lack the text.
const wchar_t* BuiltInText(int id);

// A product string (key 0 to 127), or null.
const wchar_t* ProductString(int key);

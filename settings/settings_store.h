#pragma once
#include <windows.h>

// Settings are integers kept as decimal REG_SZ text under
// HKEY_CURRENT_USER\Software\Vantorel\Huepeek\<section>. There is no cache: each call opens the
// key, does one operation and closes it again, so a write is seen at once by every later read,
// also by the palette process that runs beside the main one.

size_t const kSettingTextChars = 1024;
wchar_t const kProgramSection[] = L"Program";

extern int g_languageIndex;

const wchar_t* SettingsRootPath();
int ReadSettingText(const wchar_t* section, const wchar_t* key, wchar_t* out /* kSettingTextChars */);
int WriteSettingInt(const wchar_t* section, const wchar_t* key, int value);
int ReadSettingInt(const wchar_t* section, const wchar_t* key, int defaultValue, int minimum, int maximum);
int ReadProgramInt(const wchar_t* key, int defaultValue);
int WriteProgramInt(const wchar_t* key, int value);
COLORREF ReadLastColour(COLORREF defaultValue);
int WriteLastColour(COLORREF colour);

// Sets g_languageIndex from the user's default language, overridden by the setting "lng".
void ChooseLanguage();

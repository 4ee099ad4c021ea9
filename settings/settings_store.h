#pragma once
#include <windows.h>

#include "settings/core/settings_table.h"

// Settings are integers kept as decimal REG_SZ text under
// HKEY_CURRENT_USER\Software\Vantorel\Huepeek\<section>. There is no cache: each call opens the
// key, does one operation and closes it again, so a write is seen at once by every later read,
// also by the palette process that runs beside the main one.
// Portable mode keeps them in a settings file beside the exe instead (same sections, keys and
// "%d" text, through the system's profile functions) and leaves the registry alone.

size_t const kSettingTextChars = 1024;

// Portable mode is on when the settings file (the exe's path with ".ini" for ".exe") exists at
// start. Called once by start-up, before the first setting is read.
void ChooseSettingsBackEnd();
// Keeps the settings in the file at path from now on; null or empty: in the registry.
void UseSettingsFile(const wchar_t* path);
// The settings file's path; empty while the settings live in the registry.
const wchar_t* SettingsFilePath();
bool PortableMode();

const wchar_t* SettingsRootPath();
int ReadSettingText(const wchar_t* section, const wchar_t* key, wchar_t* out /* kSettingTextChars */);
int WriteSettingInt(const wchar_t* section, const wchar_t* key, int value);
int ReadSettingInt(const wchar_t* section, const wchar_t* key, int defaultValue, int minimum, int maximum);
int ReadProgramInt(const wchar_t* key, int defaultValue);  // section "Program", no bounds
int WriteProgramInt(const wchar_t* key, int value);

// The settings of the table, in the section "Program", without bounds.
int ReadSetting(Setting setting);  // with the table's default
int ReadSetting(Setting setting, int defaultValue);
int WriteSetting(Setting setting, int value);
// The colours read as their 24 colour bits (kColourBits), whatever is stored.
COLORREF ReadLastColour(COLORREF defaultValue);
int WriteLastColour(COLORREF colour);
COLORREF ReadCustomColour(int index, COLORREF defaultValue);
int WriteCustomColour(int index, COLORREF colour);

// The settings the program starts with, read once at start. From then on each belongs to the part of
// the program that uses it, which writes it when it changes.
struct StartSettings {
    int language;          // "lng", else the slot of the user's default language
    int disableDarkTheme;  // "disable_dark_theme"
    int startTray;         // "start_tray"
    int trayIfMinimize;    // "tray_if_minimize"
    int page;              // "c_wnd"
    COLORREF lastColour;   // "last_rgb_color", which the colour dialog of palette mode opens with
    bool hotKeyStored;     // "hotkey" is there; its text in hotKey
    wchar_t hotKey[kSettingTextChars];
};
// Called once by start-up, after the back end is chosen (and by tests that start parts alone).
void ReadStartSettings(StartSettings* settings);

#pragma once
#include <windows.h>

#include "picker/core/hot_key.h"
#include "settings/settings_store.h"

// The global hot key that opens the picker as a left click on the tray icon does. The resident
// program registers it on the host window at start and releases it at exit; the picker page shows
// the combination in force and lets the user choose another.

int const kPickerHotKeyId = 1;

// Registers the combination that the setting "hotkey" put in force at start.
void RegisterPickerHotKey(HWND host, StartSettings const& settings);
void ReleasePickerHotKey();
// The user's choice (0: none): registered at once in place of the one in force, and stored.
void ChoosePickerHotKey(int combination);
int PickerHotKey();        // the combination in force; 0: none
bool PickerHotKeyTaken();  // the system refused it: another program holds it
// "Win+Shift+C"; the punctuation keys by the character they carry on the user's keyboard.
void PickerHotKeyName(int combination, wchar_t* out /* kHotKeyNameChars */);

#pragma once
#include <windows.h>

// "Start with Windows": a value in the user's Run key that starts the program in the background
// at logon. machineWide selects HKEY_LOCAL_MACHINE instead; the program always passes false.

wchar_t const kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// 1 when the entry exists as a terminated string; an entry with another command (the exe was
// moved) is rewritten to the command of the exe at exePath. A missing Run key is created empty.
int CheckAutostart(const wchar_t* valueName, const wchar_t* exePath, bool machineWide);
// Writes or removes the entry by the check box's state; the result is not looked at.
void ApplyAutostart(int enabled);
int EnableAutostart(const wchar_t* valueName, const wchar_t* exePath, bool machineWide);
int WriteAutostartValue(const wchar_t* valueName, const wchar_t* command, bool machineWide);
int RemoveAutostart(const wchar_t* valueName, bool machineWide);

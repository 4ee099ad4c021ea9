#include "app/autostart.h"

#include "base/core/text.h"
#include "base/process_state.h"
#include "base/program_path.h"
#include "base/scoped_handle.h"
#include "base/wide_text.h"
#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

size_t const kQueryChars = 1024;
size_t const kValueNameChars = 1024;
wchar_t const kSwitches[] = L"-bg -startup";

HKEY Hive(bool machineWide) {
    return machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// A double quote, the path, a double quote, the blanks, the switches; null on lack of memory.
wchar_t* BuildCommand(const wchar_t* path, const wchar_t* blanks) {
    int const chars = lstrlenW(path) + lstrlenW(blanks) + lstrlenW(kSwitches) + 3;
    wchar_t* const command = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, chars * sizeof(wchar_t)));
    if (command) wsprintfW(command, L"\"%s\"%s%s", path, blanks, kSwitches);
    return command;
}

// Read as the settings are: only a terminated string (or multi-string) that fits counts.
bool ReadRunValue(HKEY key, const wchar_t* valueName, wchar_t* text /* kQueryChars + 1 */) {
    DWORD type = 0;
    DWORD bytes = kQueryChars * sizeof(wchar_t);
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) !=
        ERROR_SUCCESS)
        return false;
    if (bytes % 2) return false;
    DWORD const units = bytes / 2;
    text[units] = 0;
    if (type == REG_SZ || type == REG_EXPAND_SZ) return units >= 1 && text[units - 1] == 0;
    if (type == REG_MULTI_SZ) return units >= 2 && text[units - 1] == 0 && text[units - 2] == 0;
    return false;
}

int StoreCommand(HKEY key, const wchar_t* valueName, const wchar_t* command) {
    DWORD const bytes = DWORD(lstrlenW(command) + 1) * sizeof(wchar_t);
    return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command), bytes) ==
           ERROR_SUCCESS;
}

}  // namespace

int CheckAutostart(const wchar_t* valueName, bool machineWide) {
    // The two forms differ in one blank: a value that enabling wrote (one blank) is rewritten to
    // this form at the next start; both start the program the same way.
    wchar_t* const expected = BuildCommand(ProgramPath(), L"  ");
    if (!expected) return 0;
    ScopedKey key;
    bool present = false;
    bool differs = false;
    // A portable copy only looks: it writes nothing to the registry unprompted, and an entry of
    // another copy of the program stays that copy's.
    bool const portable = PortableMode();
    LONG const opened = portable ? RegOpenKeyExW(Hive(machineWide), kRunKey, 0, KEY_READ, key.Receive())
                                 : RegCreateKeyExW(Hive(machineWide), kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                   nullptr, key.Receive(), nullptr);
    if (opened == ERROR_SUCCESS) {
        wchar_t stored[kQueryChars + 1] = {};
        present = ReadRunValue(key, valueName, stored);
        // Unit by unit: a linguistic comparison takes a path with a soft hyphen or a decomposed
        // letter for this one, and the entry would go on starting another file.
        differs = present && !EqualsText(Utf16(stored), Utf16(expected));
    }
    if (differs && !portable &&
        RegCreateKeyExW(Hive(machineWide), kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                        nullptr) == ERROR_SUCCESS) {
        StoreCommand(key, valueName, expected);
    }
    HeapFree(GetProcessHeap(), 0, expected);
    return present ? 1 : 0;
}

void ApplyAutostart(int enabled) {
    wchar_t name[kValueNameChars] = {};
    LoadStringW(g_instance, IDS_PRODUCT_CLASS, name, int(kValueNameChars));
    if (enabled)
        EnableAutostart(name, false);
    else
        RemoveAutostart(name, false);
}

int EnableAutostart(const wchar_t* valueName, bool machineWide) {
    wchar_t* const command = BuildCommand(ProgramPath(), L" ");
    if (!command) return 0;
    int const written = WriteAutostartValue(valueName, command, machineWide);
    HeapFree(GetProcessHeap(), 0, command);
    return written;
}

int WriteAutostartValue(const wchar_t* valueName, const wchar_t* command, bool machineWide) {
    ScopedKey key;
    // Opened, not created: without a Run key nothing is written.
    if (RegOpenKeyW(Hive(machineWide), kRunKey, key.Receive()) != ERROR_SUCCESS) return 0;
    return StoreCommand(key, valueName, command);
}

int RemoveAutostart(const wchar_t* valueName, bool machineWide) {
    ScopedKey key;
    if (RegOpenKeyW(Hive(machineWide), kRunKey, key.Receive()) != ERROR_SUCCESS) return 0;
    return RegDeleteValueW(key, valueName) == ERROR_SUCCESS ? 1 : 0;
}

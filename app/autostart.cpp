#include "app/autostart.h"

#include "base/core/bounded_text.h"
#include "base/core/text.h"
#include "base/heap_buffer.h"
#include "base/process_state.h"
#include "base/program_path.h"
#include "base/registry_text.h"
#include "base/scoped_handle.h"
#include "base/wide_text.h"
#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

size_t const kQueryChars = 1024;  // beyond this exe's own command: an entry of another path is rewritten
size_t const kValueNameChars = 1024;
// The switches after one blank (as enabling writes them) or two (as the check rewrites them).
wchar_t const kOneBlankSwitches[] = L" -bg -startup";
wchar_t const kTwoBlanksSwitches[] = L"  -bg -startup";

HKEY Hive(bool machineWide) {
    return machineWide ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

int StoreCommand(HKEY key, const wchar_t* valueName, const wchar_t* command) {
    DWORD const bytes = DWORD(lstrlenW(command) + 1) * sizeof(wchar_t);
    return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command), bytes) ==
           ERROR_SUCCESS;
}

// A double quote, the path, a double quote, the blanks and switches; null on lack of memory.
HeapBuffer<wchar_t> AutostartCommand(const wchar_t* path, const wchar_t* switches) {
    size_t const chars = size_t(lstrlenW(path)) + size_t(lstrlenW(switches)) + 3;
    HeapBuffer<wchar_t> command(chars);
    if (!command.get()) return command;
    BoundedText text(Utf16(command.get()), chars);
    text.Put(u'"');
    text.Put(Utf16(path));
    text.Put(u'"');
    text.Put(Utf16(switches));
    return command;
}

}  // namespace

int CheckAutostart(const wchar_t* valueName, const wchar_t* exePath, bool machineWide) {
    // The two forms differ in one blank: a value that enabling wrote (one blank) is rewritten to
    // this form at the next start; both start the program the same way.
    HeapBuffer<wchar_t> const command = AutostartCommand(exePath, kTwoBlanksSwitches);
    const wchar_t* const expected = command.get();
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
        // Room for this exe's own command, however long its path.
        size_t const chars = size_t(lstrlenW(expected)) + kQueryChars;
        HeapBuffer<wchar_t> const stored(chars);
        // Read as the settings are: only a terminated string (or multi-string) that fits counts.
        present = ReadRegistryText(key, nullptr, valueName, stored.get(), chars);
        // Unit by unit: a linguistic comparison takes a path with a soft hyphen or a decomposed
        // letter for this one, and the entry would go on starting another file.
        differs = present && !EqualsText(Utf16(stored.get()), Utf16(expected));
    }
    if (differs && !portable &&
        RegCreateKeyExW(Hive(machineWide), kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                        nullptr) == ERROR_SUCCESS) {
        StoreCommand(key, valueName, expected);
    }
    return present ? 1 : 0;
}

void ApplyAutostart(int enabled) {
    wchar_t name[kValueNameChars] = {};
    LoadStringW(g_instance, IDS_PRODUCT_CLASS, name, int(kValueNameChars));
    if (enabled)
        EnableAutostart(name, ProgramPath(), false);
    else
        RemoveAutostart(name, false);
}

int EnableAutostart(const wchar_t* valueName, const wchar_t* exePath, bool machineWide) {
    HeapBuffer<wchar_t> const command = AutostartCommand(exePath, kOneBlankSwitches);
    return command.get() ? WriteAutostartValue(valueName, command.get(), machineWide) : 0;
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

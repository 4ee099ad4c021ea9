#include "settings/settings_store.h"

#include "base/core/text.h"
#include "base/heap_buffer.h"
#include "base/program_path.h"
#include "base/registry_text.h"
#include "base/scoped_handle.h"
#include "base/wide_text.h"
#include "settings/core/language_slots.h"
#include "settings/core/settings_file.h"

namespace {

wchar_t g_rootPath[MAX_PATH];
// The settings file, however long its path; empty: the registry. The profile functions take
// MAX_PATH characters at most, so they get profilePath: the same file by a path that fits.
struct SettingsFile {
    HeapBuffer<wchar_t> path;
    HeapBuffer<wchar_t> profilePath;
};
SettingsFile g_settingsFile;
wchar_t g_noSettingsFile[1];

// A stored text holds 511 characters at most; a longer one counts as absent.
size_t const kQueryChars = 512;  // the terminator included

void BuildKeyPath(const wchar_t* section, wchar_t* path, size_t chars) {
    lstrcpynW(path, SettingsRootPath(), int(chars));
    size_t used = lstrlenW(path);
    if (used + 1 < chars) {
        path[used++] = L'\\';
        path[used] = 0;
    }
    lstrcpynW(path + used, section, int(chars - used));
}

HeapBuffer<wchar_t> CopyOfText(const wchar_t* text, size_t extraChars = 0) {
    HeapBuffer<wchar_t> copy(size_t(lstrlenW(text)) + 1 + extraChars);
    if (copy.get()) lstrcpyW(copy.get(), text);
    return copy;
}

// A path of MAX_PATH characters or more, as the profile functions can take it: its short form where
// that names this very file (short names are not always unique), else the form "\\?\" that
// lifts the limit where the system's profile functions read it.
HeapBuffer<wchar_t> ProfilePathOf(const wchar_t* path) {
    if (lstrlenW(path) < MAX_PATH) return CopyOfText(path);
    wchar_t shortPath[MAX_PATH] = {};
    DWORD const length = GetShortPathNameW(path, shortPath, MAX_PATH);
    if (length && length < MAX_PATH) {
        DWORD const longChars = GetLongPathNameW(shortPath, nullptr, 0);
        HeapBuffer<wchar_t> const longPath(longChars);
        bool const same = longChars && longPath.get() &&
                          GetLongPathNameW(shortPath, longPath.get(), longChars) &&
                          lstrcmpiW(longPath.get(), path) == 0;
        if (same) return CopyOfText(shortPath);
    }
    return AnyLengthPath(path);
}

void ForgetSettingsFile() {
    g_settingsFile.path = HeapBuffer<wchar_t>();
    g_settingsFile.profilePath = HeapBuffer<wchar_t>();
}

}  // namespace

void ChooseSettingsBackEnd() {
    const wchar_t* const exe = ProgramPath();
    size_t const chars = size_t(lstrlenW(exe)) + 5;  // ".ini" may be added to a name without extension
    HeapBuffer<char16_t> const path(chars);
    if (!path.get() || !PortableSettingsPath(Utf16(exe), path.get(), chars)) return;
    HeapBuffer<wchar_t> const anyLength = AnyLengthPath(Wide(path.get()));
    if (!anyLength.get()) return;
    DWORD const attributes = GetFileAttributesW(anyLength.get());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        UseSettingsFile(Wide(path.get()));
}

void UseSettingsFile(const wchar_t* path) {
    ForgetSettingsFile();
    if (!path || !*path) return;
    g_settingsFile.path = CopyOfText(path);
    g_settingsFile.profilePath = ProfilePathOf(path);
    // Without memory for them, the registry stays.
    if (!g_settingsFile.path.get() || !g_settingsFile.profilePath.get()) ForgetSettingsFile();
}

const wchar_t* SettingsFilePath() {
    return g_settingsFile.path.get() ? g_settingsFile.path.get() : g_noSettingsFile;
}

bool PortableMode() {
    return g_settingsFile.path.get() != nullptr;
}

const wchar_t* SettingsRootPath() {
    if (lstrlenW(g_rootPath) <= 10) {
        lstrcpynW(g_rootPath, L"Software\\Vantorel\\", MAX_PATH);
        lstrcatW(g_rootPath, L"Huepeek");
    }
    return g_rootPath;
}

int ReadSettingText(const wchar_t* section, const wchar_t* key, wchar_t* out) {
    if (PortableMode()) {
        // A value that is there but empty reads as absent, as the profile functions cannot tell.
        wchar_t text[kSettingTextChars] = {};
        if (!GetPrivateProfileStringW(section, key, L"", text, DWORD(kSettingTextChars),
                                      g_settingsFile.profilePath.get()))
            return 0;
        lstrcpynW(out, text, int(kSettingTextChars));
        return 1;
    }
    wchar_t path[MAX_PATH * 2];
    BuildKeyPath(section, path, ARRAYSIZE(path));
    wchar_t text[kQueryChars];
    if (!ReadRegistryText(HKEY_CURRENT_USER, path, key, text, kQueryChars)) return 0;
    if (*text) lstrcpynW(out, text, int(kSettingTextChars));
    return 1;
}

int WriteSettingInt(const wchar_t* section, const wchar_t* key, int value) {
    wchar_t text[16];
    wsprintfW(text, L"%d", value);
    if (PortableMode())
        return WritePrivateProfileStringW(section, key, text, g_settingsFile.profilePath.get()) ? 1 : 0;
    wchar_t path[MAX_PATH * 2];
    BuildKeyPath(section, path, ARRAYSIZE(path));
    ScopedKey hkey;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, hkey.Receive(),
                        nullptr) != ERROR_SUCCESS)
        return 0;
    DWORD const bytes = DWORD(lstrlenW(text) + 1) * sizeof(wchar_t);
    return RegSetValueExW(hkey, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS
               ? 1
               : 0;
}

int ReadSettingInt(const wchar_t* section, const wchar_t* key, int defaultValue, int minimum, int maximum) {
    wchar_t text[kSettingTextChars] = {};
    int value = defaultValue;
    if (ReadSettingText(section, key, text)) value = ParseSettingNumber(Utf16(text));
    return LimitSettingNumber(value, minimum, maximum);
}

int ReadProgramInt(const wchar_t* key, int defaultValue) {
    return ReadSettingInt(Wide(kProgramSection), key, defaultValue, -1, -1);
}

int WriteProgramInt(const wchar_t* key, int value) {
    return WriteSettingInt(Wide(kProgramSection), key, value);
}

int ReadSetting(Setting setting, int defaultValue) {
    return ReadProgramInt(Wide(SettingOf(setting).key), defaultValue);
}

int ReadSetting(Setting setting) {
    return ReadSetting(setting, SettingOf(setting).defaultValue);
}

int WriteSetting(Setting setting, int value) {
    return WriteProgramInt(Wide(SettingOf(setting).key), value);
}

COLORREF ReadLastColour(COLORREF defaultValue) {
    return COLORREF(ReadSetting(Setting::kLastColour, int(defaultValue))) & kColourBits;
}

int WriteLastColour(COLORREF colour) {
    return WriteSetting(Setting::kLastColour, int(colour));
}

COLORREF ReadCustomColour(int index, COLORREF defaultValue) {
    char16_t key[kCustomColourKeyChars];
    CustomColourKey(index, key);
    return COLORREF(ReadProgramInt(Wide(key), int(defaultValue))) & kColourBits;
}

int WriteCustomColour(int index, COLORREF colour) {
    char16_t key[kCustomColourKeyChars];
    CustomColourKey(index, key);
    return WriteProgramInt(Wide(key), int(colour));
}

void ReadStartSettings(StartSettings* settings) {
    int const automatic = AutomaticLanguageIndex(PRIMARYLANGID(GetUserDefaultLangID()));
    settings->language = ReadSetting(Setting::kLanguage, automatic);
    settings->disableDarkTheme = ReadSetting(Setting::kDisableDarkTheme);
    settings->startTray = ReadSetting(Setting::kStartTray);
    settings->trayIfMinimize = ReadSetting(Setting::kTrayIfMinimize);
    settings->page = ReadSetting(Setting::kPage);
    settings->lastColour = ReadLastColour(0);
    settings->hotKey[0] = 0;
    settings->hotKeyStored =
        ReadSettingText(Wide(kProgramSection), Wide(SettingOf(Setting::kHotKey).key), settings->hotKey) != 0;
}

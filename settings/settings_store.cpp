#include "settings/settings_store.h"

#include "base/core/text.h"
#include "base/program_path.h"
#include "base/registry_text.h"
#include "base/wide_text.h"
#include "settings/core/language_slots.h"
#include "settings/core/settings_file.h"

int g_languageIndex = 1;

namespace {

wchar_t g_rootPath[MAX_PATH];
wchar_t g_settingsFile[MAX_PATH];  // empty: the registry

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

}  // namespace

void ChooseSettingsBackEnd() {
    char16_t path[MAX_PATH];
    if (!PortableSettingsPath(Utf16(ProgramPath()), path, MAX_PATH)) return;
    DWORD const attributes = GetFileAttributesW(Wide(path));
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        UseSettingsFile(Wide(path));
}

void UseSettingsFile(const wchar_t* path) {
    lstrcpynW(g_settingsFile, path ? path : L"", MAX_PATH);
}

const wchar_t* SettingsFilePath() {
    return g_settingsFile;
}

bool PortableMode() {
    return g_settingsFile[0] != 0;
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
        if (!GetPrivateProfileStringW(section, key, L"", text, DWORD(kSettingTextChars), g_settingsFile))
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
    if (PortableMode()) return WritePrivateProfileStringW(section, key, text, g_settingsFile) ? 1 : 0;
    wchar_t path[MAX_PATH * 2];
    BuildKeyPath(section, path, ARRAYSIZE(path));
    HKEY hkey = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hkey, nullptr) !=
        ERROR_SUCCESS)
        return 0;
    DWORD const bytes = DWORD(lstrlenW(text) + 1) * sizeof(wchar_t);
    LONG const status = RegSetValueExW(hkey, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
    RegCloseKey(hkey);
    return status == ERROR_SUCCESS ? 1 : 0;
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

void ChooseLanguage() {
    int const automatic = AutomaticLanguageIndex(PRIMARYLANGID(GetUserDefaultLangID()));
    g_languageIndex = ReadSetting(Setting::kLanguage, automatic);
}

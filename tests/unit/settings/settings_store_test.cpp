// The settings store against the real registry of the test prefix.
#include "settings/settings_store.h"

#include "base/wide_text.h"
#include "files.h"

#include <string>

#include <gtest/gtest.h>

namespace {

int StartLanguage() {
    StartSettings settings;
    ReadStartSettings(&settings);
    return settings.language;
}

wchar_t const kRoot[] = L"Software\\Vantorel\\Huepeek";
wchar_t const kProgram[] = L"Software\\Vantorel\\Huepeek\\Program";

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
    void TearDown() override {
        UseSettingsFile(nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    }

    static void Store(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kProgram, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes));
        RegCloseKey(key);
    }
    static void StoreText(const wchar_t* name, const std::wstring& text) {
        Store(name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
    }
};

TEST_F(SettingsStoreTest, FreshUserReadsDefaultsAndFirstWriteCreatesTheKey) {
    EXPECT_EQ(2, ReadProgramInt(L"c_wnd", 2));
    EXPECT_EQ(1, ReadProgramInt(L"tray_if_minimize", 1));
    EXPECT_EQ(COLORREF(0), ReadLastColour(0));
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kProgram, 0, KEY_READ, &key));
    EXPECT_EQ(1, WriteProgramInt(L"c_wnd", 3));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kProgram, 0, KEY_READ, &key));
    wchar_t data[16] = {};
    DWORD bytes = sizeof(data);
    DWORD type = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key, L"c_wnd", nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes));
    RegCloseKey(key);
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_STREQ(L"3", data);
    EXPECT_EQ(DWORD(2 * sizeof(wchar_t)), bytes) << "the terminator is stored too";
}

// Each setting lives under the key that users' registries hold: with nothing stored it reads its
// default, a value stored there by an earlier version is what it reads, and a write goes there.
TEST_F(SettingsStoreTest, EachSettingUsesItsKeyAndDefault) {
    struct {
        Setting setting;
        const wchar_t* key;
        int defaultValue;
    } const cases[] = {
        {Setting::kLanguage, L"lng", 1},         {Setting::kDisableDarkTheme, L"disable_dark_theme", 0},
        {Setting::kStartTray, L"start_tray", 0}, {Setting::kTrayIfMinimize, L"tray_if_minimize", 1},
        {Setting::kPage, L"c_wnd", 2},           {Setting::kLastColour, L"last_rgb_color", 0},
        {Setting::kHotKey, L"hotkey", 3139},  // Win+Shift+C
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.key, c.key + lstrlenW(c.key)));
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
        EXPECT_EQ(c.defaultValue, ReadSetting(c.setting));
        StoreText(c.key, L"77");
        EXPECT_EQ(77, ReadSetting(c.setting));
        EXPECT_EQ(1, WriteSetting(c.setting, 3));
        wchar_t text[kSettingTextChars] = {};
        ASSERT_EQ(1, ReadSettingText(Wide(kProgramSection), c.key, text));
        EXPECT_STREQ(L"3", text);
    }
}

TEST_F(SettingsStoreTest, WrittenNumbersReadBack) {
    for (int value : {-5, 0, 42, 16777215, 2147483647, int(0x80000000u)}) {
        WriteProgramInt(L"n", value);
        EXPECT_EQ(value, ReadProgramInt(L"n", 99));
    }
    WriteProgramInt(L"n", -5);
    wchar_t text[kSettingTextChars] = {};
    ASSERT_EQ(1, ReadSettingText(Wide(kProgramSection), L"n", text));
    EXPECT_STREQ(L"-5", text);
}

TEST_F(SettingsStoreTest, StoredTextsParse) {
    struct {
        const wchar_t* text;
        int expected;
    } const cases[] = {
        {L" 42", 42},  {L"42abc", 42}, {L"abc", 0}, {L"", 0},  // an empty value is 0, not the default
        {L"\t-7", -7}, {L"+3", 3},
    };
    for (const auto& c : cases) {
        StoreText(L"v", c.text);
        EXPECT_EQ(c.expected, ReadProgramInt(L"v", 99)) << c.text;
    }
}

// A colour is its 24 low bits, whatever is stored: -1 reads as white, and the top byte of an
// overflowed value is gone.
TEST_F(SettingsStoreTest, ColoursReadAsTheirColourBits) {
    struct {
        const wchar_t* text;
        COLORREF expected;
    } const cases[] = {
        {L"255", 0x0000FF},
        {L"16777215", 0xFFFFFF},
        {L"-1", 0xFFFFFF},
        {L"4294967295", 0xFFFFFF},
        {L"16777216", 0},
        {L"-16777216", 0},
        {L"33554687", 0x0000FF},              // 0x020000FF: a palette-relative value
        {L"99999999999999999999", 0x0FFFFF},  // wraps to 0x630FFFFF
    };
    for (const auto& c : cases) {
        StoreText(L"last_rgb_color", c.text);
        StoreText(L"last_color_3", c.text);
        EXPECT_EQ(c.expected, ReadLastColour(0)) << c.text;
        EXPECT_EQ(c.expected, ReadCustomColour(3, 0)) << c.text;
    }
}

TEST_F(SettingsStoreTest, ValuesThatAreNotTerminatedTextCountAsAbsent) {
    DWORD const dword = 7;
    wchar_t const unterminated[] = {L'4', L'2'};
    wchar_t const multi[] = {L'5', 0, 0};
    wchar_t const expand[] = L"8";
    BYTE const odd[] = {'4', 0, 0};
    std::wstring const longText(600, L'1');
    struct {
        const wchar_t* what;
        DWORD type;
        const void* data;
        DWORD bytes;
        int expected;
    } const cases[] = {
        {L"REG_DWORD", REG_DWORD, &dword, sizeof(dword), 99},
        {L"REG_BINARY", REG_BINARY, "12", 3, 99},
        {L"no terminator", REG_SZ, unterminated, sizeof(unterminated), 99},
        {L"odd byte count", REG_SZ, odd, sizeof(odd), 99},
        {L"zero bytes", REG_SZ, L"", 0, 99},
        {L"longer than 511 characters", REG_SZ, longText.c_str(), DWORD((longText.size() + 1) * 2), 99},
        {L"REG_MULTI_SZ", REG_MULTI_SZ, multi, sizeof(multi), 5},
        {L"REG_EXPAND_SZ", REG_EXPAND_SZ, expand, sizeof(expand), 8},
    };
    for (const auto& c : cases) {
        Store(L"v", c.type, c.data, c.bytes);
        EXPECT_EQ(c.expected, ReadProgramInt(L"v", 99)) << c.what;
    }
}

TEST_F(SettingsStoreTest, BoundsApplyOnlyWhenBothAreGiven) {
    StoreText(L"v", L"7");
    EXPECT_EQ(3, ReadSettingInt(Wide(kProgramSection), L"v", 0, 0, 3));
    EXPECT_EQ(7, ReadSettingInt(Wide(kProgramSection), L"v", 0, -1, 3));
    StoreText(L"v", L"-2");
    EXPECT_EQ(0, ReadSettingInt(Wide(kProgramSection), L"v", 0, 0, 3));
    EXPECT_EQ(-2, ReadSettingInt(Wide(kProgramSection), L"v", 0, 0, -1));
}

TEST_F(SettingsStoreTest, StoredLanguageOverridesTheAutomaticChoice) {
    int const automatic = StartLanguage();
    StoreText(L"lng", automatic == 5 ? L"6" : L"5");
    EXPECT_EQ(automatic == 5 ? 6 : 5, StartLanguage());
    StoreText(L"lng", L"77");
    EXPECT_EQ(77, StartLanguage()) << "not corrected here; the lookup falls back";
}

// What start-up takes from the store: each value as stored, or its default when absent.
TEST_F(SettingsStoreTest, StartSettingsHoldTheStoredValuesOrTheDefaults) {
    StartSettings settings;
    ReadStartSettings(&settings);
    EXPECT_EQ(0, settings.disableDarkTheme);
    EXPECT_EQ(0, settings.startTray);
    EXPECT_EQ(1, settings.trayIfMinimize);
    EXPECT_EQ(2, settings.page);
    EXPECT_EQ(COLORREF(0), settings.lastColour);
    EXPECT_FALSE(settings.hotKeyStored);
    for (const wchar_t* key : {L"disable_dark_theme", L"start_tray", L"c_wnd"}) StoreText(key, L"3");
    StoreText(L"tray_if_minimize", L"0");
    StoreText(L"last_rgb_color", L"-1");
    StoreText(L"hotkey", L"0x0C43");
    ReadStartSettings(&settings);
    EXPECT_EQ(3, settings.disableDarkTheme);
    EXPECT_EQ(3, settings.startTray);
    EXPECT_EQ(0, settings.trayIfMinimize);
    EXPECT_EQ(3, settings.page);
    EXPECT_EQ(COLORREF(0xFFFFFF), settings.lastColour) << "the colour bits alone";
    EXPECT_TRUE(settings.hotKeyStored);
    EXPECT_STREQ(L"0x0C43", settings.hotKey) << "the text as stored, for the hot key's own reading";
}

// The test command sets LANGUAGE_EXPECTED_SLOT and LC_ALL for one extra run of this test, so the
// automatic choice is checked for real user languages (Austrian German, Brazilian Portuguese, Greek).
TEST_F(SettingsStoreTest, UserLanguageChoosesTheSlot) {
    char expected[16] = {};
    if (!GetEnvironmentVariableA("LANGUAGE_EXPECTED_SLOT", expected, sizeof(expected)))
        GTEST_SKIP() << "run by the locale variants of this test";
    EXPECT_EQ(atoi(expected), StartLanguage()) << "LANGID " << GetUserDefaultLangID();
}

// With a settings file every setting lives there, as "key=value" lines of the section "Program",
// read as the registry's are; the registry is not touched.
TEST_F(SettingsStoreTest, SettingsFileKeepsEverySettingInsteadOfTheRegistry) {
    std::wstring const ini = e2e::TempFolder() + L"huepeek-settings-test.ini";
    ASSERT_TRUE(e2e::WriteFileBytes(ini, ""));
    UseSettingsFile(ini.c_str());
    EXPECT_TRUE(PortableMode());
    EXPECT_EQ(ini, SettingsFilePath());
    EXPECT_EQ(2, ReadSetting(Setting::kPage)) << "a fresh file reads the defaults";
    EXPECT_EQ(1, WriteSetting(Setting::kPage, 3));
    EXPECT_EQ(1, WriteProgramInt(L"n", -5));
    EXPECT_EQ(1, WriteCustomColour(7, RGB(1, 2, 3)));
    EXPECT_EQ("[Program]\r\nc_wnd=3\r\nn=-5\r\nlast_color_7=197121\r\n", e2e::FileBytes(ini));
    EXPECT_EQ(3, ReadSetting(Setting::kPage));
    EXPECT_EQ(-5, ReadProgramInt(L"n", 99));
    EXPECT_EQ(COLORREF(RGB(1, 2, 3)), ReadCustomColour(7, 0));
    struct {
        const wchar_t* text;
        int expected;
    } const cases[] = {
        {L" 42", 42}, {L"42abc", 42}, {L"abc", 0}, {L"", 99},  // the file cannot tell empty from absent
    };
    for (const auto& c : cases) {
        WritePrivateProfileStringW(L"Program", L"v", c.text, ini.c_str());
        EXPECT_EQ(c.expected, ReadProgramInt(L"v", 99)) << c.text;
    }
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kRoot, 0, KEY_READ, &key))
        << "the registry was written";

    UseSettingsFile(nullptr);
    EXPECT_FALSE(PortableMode());
    EXPECT_STREQ(L"", SettingsFilePath());
    EXPECT_EQ(2, ReadSetting(Setting::kPage)) << "back in the registry";
    DeleteFileW(ini.c_str());
}

// Start-up switches to the settings file only when a file named like the exe with ".ini" lies
// beside it (here the test program's own).
TEST_F(SettingsStoreTest, PortableModeOnlyWithTheFileBesideTheExe) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring const ini = std::wstring(exe).substr(0, lstrlenW(exe) - 4) + L".ini";
    DeleteFileW(ini.c_str());
    RemoveDirectoryW(ini.c_str());
    ChooseSettingsBackEnd();
    EXPECT_FALSE(PortableMode()) << "without the file";
    ASSERT_TRUE(CreateDirectoryW(ini.c_str(), nullptr));
    ChooseSettingsBackEnd();
    EXPECT_FALSE(PortableMode()) << "a folder of that name is not a settings file";
    RemoveDirectoryW(ini.c_str());
    ASSERT_TRUE(e2e::WriteFileBytes(ini, ""));
    ChooseSettingsBackEnd();
    EXPECT_TRUE(PortableMode());
    EXPECT_EQ(ini, SettingsFilePath());
    UseSettingsFile(nullptr);
    DeleteFileW(ini.c_str());
}

}  // namespace

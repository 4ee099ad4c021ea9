// The registry string reader against the real registry of the test prefix.
#include "base/registry_text.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

wchar_t const kKey[] = L"Software\\Vantorel\\RegistryTextTest";

class RegistryTextTest : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    static void Store(DWORD type, const void* data, DWORD bytes) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"v", 0, type, static_cast<const BYTE*>(data), bytes));
        RegCloseKey(key);
    }
};

// Read into 8 units: 7 characters and the terminator at the most.
TEST_F(RegistryTextTest, OnlyWholeStringsThatFitAreRead) {
    DWORD const dword = 7;
    wchar_t const unterminated[] = {L'4', L'2'};
    wchar_t const multi[] = {L'a', 0, L'b', 0, 0};
    wchar_t const multiWithoutEnd[] = {L'a', 0, L'b', 0};
    BYTE const odd[] = {'4', 0, 0};
    struct {
        const char* what;
        DWORD type;
        const void* data;
        DWORD bytes;
        const wchar_t* expected;  // null: absent
    } const cases[] = {
        {"REG_SZ", REG_SZ, L"abc", 8, L"abc"},
        {"seven characters", REG_SZ, L"1234567", 16, L"1234567"},
        {"eight characters", REG_SZ, L"12345678", 18, nullptr},
        {"empty", REG_SZ, L"", 2, L""},
        {"zero bytes", REG_SZ, L"", 0, nullptr},
        {"no terminator", REG_SZ, unterminated, sizeof(unterminated), nullptr},
        {"odd byte count", REG_SZ, odd, sizeof(odd), nullptr},
        {"REG_EXPAND_SZ, unexpanded", REG_EXPAND_SZ, L"%TEMP%", 14, L"%TEMP%"},
        {"REG_MULTI_SZ: the first string", REG_MULTI_SZ, multi, sizeof(multi), L"a"},
        {"REG_MULTI_SZ without its end", REG_MULTI_SZ, multiWithoutEnd, sizeof(multiWithoutEnd), nullptr},
        {"REG_DWORD", REG_DWORD, &dword, sizeof(dword), nullptr},
        {"REG_BINARY", REG_BINARY, L"ab", 6, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store(c.type, c.data, c.bytes);
        wchar_t out[9];
        std::fill(out, out + 9, L'#');
        bool const read = ReadRegistryText(HKEY_CURRENT_USER, kKey, L"v", out, 8);
        EXPECT_EQ(c.expected != nullptr, read);
        EXPECT_EQ(std::wstring(c.expected ? c.expected : L""), std::wstring(out)) << "absent reads as empty";
        EXPECT_EQ(L'#', out[8]) << "written past the buffer";
    }

    // From a key already open; a missing value or key is absent.
    wchar_t out[8] = L"stale";
    Store(REG_SZ, L"abc", 8);
    EXPECT_FALSE(ReadRegistryText(HKEY_CURRENT_USER, kKey, L"other", out, 8)) << "no value";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key));
    EXPECT_TRUE(ReadRegistryText(key, nullptr, L"v", out, 8));
    RegCloseKey(key);
    EXPECT_EQ(std::wstring(L"abc"), out);
    EXPECT_FALSE(ReadRegistryText(HKEY_CURRENT_USER, kKey, L"v", out, 0));
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    EXPECT_FALSE(ReadRegistryText(HKEY_CURRENT_USER, kKey, L"v", out, 8)) << "no key";
    EXPECT_EQ(L'\0', out[0]);
}

}  // namespace

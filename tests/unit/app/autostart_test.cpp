// The Run entry of "Start with Windows" for exe paths of every length Windows allows.
#include "app/autostart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

wchar_t const kName[] = L"Huepeek autostart unit test";

std::wstring StoredCommand() {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS)
        return L"<none>";
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1);
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kName, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS)
        return L"<unreadable>";
    return text.data();
}

// Written whole when ticked, and seen at the next start as this exe's entry, kept in its form.
TEST(AutostartEntry, HoldsTheWholePathWhateverItsLength) {
    HKEY run = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &run, nullptr));
    RegCloseKey(run);
    for (size_t folderChars : {size_t(0), size_t(1100), size_t(32000)}) {
        std::wstring const exe = L"C:\\" + std::wstring(folderChars, L'd') + L"\\huepeek.exe";
        SCOPED_TRACE(std::to_string(exe.size()) + " characters");
        ASSERT_EQ(1, EnableAutostart(kName, exe.c_str(), false));
        EXPECT_EQ(L"\"" + exe + L"\" -bg -startup", StoredCommand());
        EXPECT_EQ(1, CheckAutostart(kName, exe.c_str(), false)) << "the entry is not seen";
        EXPECT_EQ(L"\"" + exe + L"\"  -bg -startup", StoredCommand());
        EXPECT_EQ(1, RemoveAutostart(kName, false));
    }
}

}  // namespace

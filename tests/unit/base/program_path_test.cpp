#include "base/program_path.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// Wine cannot start a program from a folder deeper than 260 characters, so a long path is played
// by a stand-in for GetModuleFileNameW that cuts as the real one does.
std::wstring g_fakePath;
int g_calls;

DWORD WINAPI FakeModuleFileName(HMODULE, LPWSTR buffer, DWORD chars) {
    ++g_calls;
    DWORD const length = DWORD(g_fakePath.size());
    if (length < chars) {
        lstrcpyW(buffer, g_fakePath.c_str());
        return length;
    }
    // Cut: chars - 1 characters and the terminator, ERROR_INSUFFICIENT_BUFFER, returns chars.
    lstrcpynW(buffer, g_fakePath.c_str(), int(chars));
    return chars;
}

TEST(ProgramPath, GrowsUntilTheWholePathFits) {
    for (size_t length : {size_t(10), size_t(259), size_t(260), size_t(261), size_t(700), size_t(32000)}) {
        g_fakePath = L"C:\\" + std::wstring(length - 3, L'x');
        g_calls = 0;
        HeapBuffer<wchar_t> const path = ReadWholeModulePath(FakeModuleFileName);
        ASSERT_NE(nullptr, path.get()) << length;
        EXPECT_EQ(g_fakePath, path.get()) << length;
    }
}

TEST(ProgramPath, IsThisProgramsOwnFile) {
    wchar_t expected[MAX_PATH];
    GetModuleFileNameW(nullptr, expected, MAX_PATH);
    EXPECT_STREQ(expected, ProgramPath());
}

TEST(AnyLengthPath, EveryFormOnce) {
    struct {
        const wchar_t* path;
        const wchar_t* expected;
    } const cases[] = {
        {L"C:\\a\\huepeek.exe", L"\\\\?\\C:\\a\\huepeek.exe"},
        {L"\\\\server\\share\\huepeek.exe", L"\\\\?\\UNC\\server\\share\\huepeek.exe"},
        {L"\\\\?\\C:\\a\\huepeek.exe", L"\\\\?\\C:\\a\\huepeek.exe"},
        {L"\\\\.\\C:\\a", L"\\\\.\\C:\\a"},
    };
    for (const auto& c : cases) {
        HeapBuffer<wchar_t> const path = AnyLengthPath(c.path);
        ASSERT_NE(nullptr, path.get());
        EXPECT_STREQ(c.expected, path.get());
    }
}

}  // namespace

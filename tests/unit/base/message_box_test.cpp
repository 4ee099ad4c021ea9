// Paths in messages: a message box widens to its longest unbroken word, so long paths are broken.
#include "base/message_box.h"

#include <string>

#include <gtest/gtest.h>

#include "base/wide_text.h"

namespace {

std::wstring Appended(const std::wstring& path) {
    GrowingText text;
    AppendPath(&text, path.c_str());
    return Wide(text.Data());
}

TEST(AppendPath, LongPathsBreakAfterABackslash) {
    std::wstring const folder40(40, L'f');
    std::wstring const name120(120, L'n');
    struct {
        const char* name;
        std::wstring path;
        std::wstring shown;
    } const cases[] = {
        {"short: as it is", L"C:\\Tools\\huepeek.exe", L"C:\\Tools\\huepeek.exe"},
        {"after the first backslash at 48 characters or more",
         L"C:\\" + folder40 + L"\\" + folder40 + L"\\huepeek.exe",
         L"C:\\" + folder40 + L"\\" + folder40 + L"\\\nhuepeek.exe"},
        {"a name without one: every 96 characters", L"C:\\" + name120,
         L"C:\\" + name120.substr(0, 93) + L"\n" + name120.substr(93)},
        {"no break at the very end", L"C:\\" + folder40 + L"\\" + folder40 + L"\\",
         L"C:\\" + folder40 + L"\\" + folder40 + L"\\"},
        // The 96th unit is the first half of a pair: the break comes after the pair.
        {"a pair stays whole", L"C:\\" + std::wstring(92, L'p') + L"\U0001F3A8xyz",
         L"C:\\" + std::wstring(92, L'p') + L"\U0001F3A8\nxyz"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, Appended(c.path)) << c.name;
}

}  // namespace

#include "base/code_page_text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// Each text in both fits; null for a text that is refused. The bytes are those of the code page
// charts (1252 Western, 437 the US console's) and of UTF-8.
TEST(CodePageText, ConvertsOrRefusesByTheFit) {
    struct {
        const char* what;
        UINT codePage;
        const wchar_t* text;
        const char* closest;
        const char* exact;
    } const cases[] = {
        {"plain path", 1252, L"C:\\Temp\\huepeek.exe", "C:\\Temp\\huepeek.exe", "C:\\Temp\\huepeek.exe"},
        {"letter of the page", 1252, L"M\u00fcller", "M\xFCller", "M\xFCller"},
        {"Cyrillic in Western", 1252, L"\u0451.txt", "?.txt", nullptr},
        {"console letter", 437, L"caf\u00e9", "caf\x82", "caf\x82"},
        {"UTF-8", CP_UTF8, L"\u00fc\u0451", "\xC3\xBC\xD1\x91", "\xC3\xBC\xD1\x91"},
        {"empty", 1252, L"", "", ""},
        {"none", 1252, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (CodePageFit fit : {CodePageFit::kClosest, CodePageFit::kExact}) {
            const char* const expected = fit == CodePageFit::kExact ? c.exact : c.closest;
            CodePageText const converted(c.codePage, c.text, fit);
            if (!expected) {
                EXPECT_EQ(nullptr, converted.get()) << int(fit);
                EXPECT_EQ(DWORD(0), converted.Length()) << int(fit);
                continue;
            }
            ASSERT_NE(nullptr, converted.get()) << int(fit);
            EXPECT_EQ(std::string(expected), converted.get()) << int(fit);
            EXPECT_EQ(DWORD(strlen(expected)), converted.Length()) << int(fit);
        }
    }
}

// A look-alike is a fit for a reader, not for a name: the exact form refuses what the system would
// put in its place.
TEST(CodePageText, LookAlikesAndBrokenTextAreNotExact) {
    for (const wchar_t* text : {L"\u0101", L"\u2215", L"a\xD800"}) {
        EXPECT_EQ(nullptr, CodePageText(1252, text, CodePageFit::kExact).get());
    }
    EXPECT_EQ(nullptr, CodePageText(CP_UTF8, L"a\xD800", CodePageFit::kExact).get()) << "a lone surrogate";
}

}  // namespace

#include "settings/core/settings_file.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(SettingsFile, PortablePathBesideTheExe) {
    struct {
        const char16_t* exe;
        const char16_t* expected;
    } const cases[] = {
        {u"C:\\Tools\\huepeek.exe", u"C:\\Tools\\huepeek.ini"},
        {u"C:\\Tools\\Huepeek.EXE", u"C:\\Tools\\Huepeek.ini"},
        {u"C:\\Tools\\huepeek.v3.exe", u"C:\\Tools\\huepeek.v3.ini"},
        // A dot in a folder's name is not the file's extension.
        {u"C:\\my.tools\\huepeek", u"C:\\my.tools\\huepeek.ini"},
        {u"C:/my.tools/huepeek", u"C:/my.tools/huepeek.ini"},
        {u"huepeek.exe", u"huepeek.ini"},
        {u"C:\\100% tools\\a b.exe", u"C:\\100% tools\\a b.ini"},
    };
    for (const auto& c : cases) {
        char16_t out[64];
        ASSERT_TRUE(PortableSettingsPath(c.exe, out, 64));
        EXPECT_EQ(std::u16string(c.expected), out);
    }
}

TEST(SettingsFile, NothingThatDoesNotFit) {
    char16_t out[20] = u"old";
    EXPECT_FALSE(PortableSettingsPath(u"C:\\a\\huepeek.exe", out, 16));  // needs 17 with the terminator
    EXPECT_EQ(u'\0', out[0]);
    EXPECT_TRUE(PortableSettingsPath(u"C:\\a\\huepeek.exe", out, 17));
    EXPECT_FALSE(PortableSettingsPath(u"", out, 20));
    EXPECT_FALSE(PortableSettingsPath(nullptr, out, 20));
    EXPECT_FALSE(PortableSettingsPath(u"a.exe", nullptr, 20));
}

}  // namespace

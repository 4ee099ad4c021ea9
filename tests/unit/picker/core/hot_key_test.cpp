#include "picker/core/hot_key.h"

#include <string>

#include <gtest/gtest.h>

namespace {

std::u16string Name(int combination, const char16_t* keyName = nullptr) {
    char16_t out[kHotKeyNameChars];
    HotKeyName(combination, keyName, out);
    return out;
}

// What a stored "hotkey" puts in force. The modifiers are RegisterHotKey's (Alt 1, Ctrl 2, Shift 4,
// Win 8) shifted left by 8, plus the virtual-key code.
TEST(HotKey, StoredTextGivesTheCombinationInForce) {
    struct {
        const char16_t* stored;  // null: no value
        int inForce;
    } const cases[] = {
        {nullptr, 3139},         // missing: the default, Win+Shift+C = (8 | 4) << 8 | 'C'
        {u"3139", 3139},         //
        {u"1360", 1360},         // Alt+Shift+P = (1 | 4) << 8 | 'P'
        {u"632", 632},           // Ctrl+F9 = 2 << 8 | 0x78
        {u"120", 120},           // F9 alone: a valid combination, though the field never offers it
        {u"0", 0},               // no hot key
        {u"-0", 0},              //
        {u"", 3139},             // garbage of every kind counts as the default
        {u"abc", 3139},          //
        {u"3139x", 3139},        //
        {u" 1360", 3139},        //
        {u"+1360", 3139},        //
        {u"-1360", 3139},        //
        {u"99999999999", 3139},  // more than an int holds
        {u"2048", 3139},         // Win and no key
        {u"16", 3139},           // VK_SHIFT: a modifier is no key
        {u"3164", 3139},         // Win+Shift+VK_LWIN
        {u"2", 3139},            // a mouse button
        {u"4163", 3139},         // an unknown modifier bit (16 << 8 | 'C')
        {u"16451", 3139},        // MOD_NOREPEAT (0x4000) is not stored
        {u"65603", 3139},        // beyond 16 bits
        {u"767", 3139},          // 0xFF is no key
    };
    for (const auto& c : cases) {
        std::string const label = c.stored ? std::string(c.stored, c.stored + std::u16string(c.stored).size())
                                           : std::string("(missing)");
        EXPECT_EQ(c.inForce, HotKeyFromSetting(c.stored)) << label;
    }
    EXPECT_EQ(3139, kDefaultHotKey);
    EXPECT_EQ(1360, MakeHotKey(kHotKeyAlt | kHotKeyShift, 'P'));
    EXPECT_EQ(kHotKeyAlt | kHotKeyShift, HotKeyModifiers(1360));
    EXPECT_EQ('P', HotKeyKey(1360));
}

TEST(HotKey, NamesReadAsWindowsWritesThem) {
    struct {
        int combination;
        const char16_t* name;
    } const cases[] = {
        {3139, u"Win+Shift+C"},
        {MakeHotKey(kHotKeyControl | kHotKeyAlt, 0x78), u"Ctrl+Alt+F9"},
        {MakeHotKey(15, 'P'), u"Win+Ctrl+Alt+Shift+P"},
        {MakeHotKey(kHotKeyAlt, '7'), u"Alt+7"},
        {MakeHotKey(kHotKeyControl, 0x87), u"Ctrl+F24"},
        {MakeHotKey(kHotKeyControl, 0x65), u"Ctrl+Num 5"},
        {MakeHotKey(kHotKeyControl, 0x6B), u"Ctrl+Num +"},
        {MakeHotKey(kHotKeyWin, 0x2C), u"Win+Print Screen"},
        {MakeHotKey(kHotKeyWin, 0x22), u"Win+Page Down"},
        {MakeHotKey(kHotKeyAlt, 0x20), u"Alt+Space"},
        {0x78, u"F9"},
        {0, u""},
    };
    for (const auto& c : cases) EXPECT_EQ(std::u16string(c.name), Name(c.combination)) << c.combination;
}

// The punctuation keys carry the layout's character, given by the caller; without it, the code.
TEST(HotKey, LayoutKeysTakeTheGivenName) {
    int const semicolon = MakeHotKey(kHotKeyControl | kHotKeyShift, 0xBA);
    EXPECT_FALSE(HasOwnKeyName(0xBA));
    EXPECT_TRUE(HasOwnKeyName('C'));
    EXPECT_TRUE(HasOwnKeyName(0x2E));
    EXPECT_EQ(u"Ctrl+Shift+\u00D6", Name(semicolon, u"\u00D6"));
    EXPECT_EQ(u"Ctrl+Shift+0xBA", Name(semicolon));
    EXPECT_EQ(u"Ctrl+Shift+0xBA", Name(semicolon, u""));
    // A table name wins over the caller's.
    EXPECT_EQ(u"Ctrl+Delete", Name(MakeHotKey(kHotKeyControl, 0x2E), u"Entf"));
}

TEST(HotKey, LongNamesAreCutToTheBuffer) {
    char16_t out[kHotKeyNameChars];
    std::u16string const longName(200, u'x');
    HotKeyName(MakeHotKey(15, 0xBA), longName.c_str(), out);
    EXPECT_EQ(kHotKeyNameChars - 1, std::u16string(out).size());
}

}  // namespace

#include "picker/core/colour_forms.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace {

// Round half to even, as VarRound does in the exe.
double HalfEven(double value) {
    return std::nearbyint(value);
}

uint32_t Rgb(int r, int g, int b) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

std::u16string Form(void (*form)(uint32_t, char16_t*), uint32_t colour) {
    char16_t text[kColourTextChars];
    form(colour, text);
    return text;
}

std::u16string HsvText(uint32_t colour, bool hex) {
    char16_t text[kColourTextChars];
    (hex ? HsvHexForm : HsvDecimalForm)(colour, HalfEven, text);
    return text;
}

TEST(ColourForms, RgbForms) {
    struct {
        uint32_t colour;
        const char16_t *hex, *hexAlpha, *hexComma, *decimal, *decimalAlpha;
    } const cases[] = {
        {Rgb(255, 128, 0), u"FF8000", u"FF8000FF", u"FF,80,00", u"255,128,0", u"255,128,0,255"},
        {Rgb(10, 200, 30), u"0AC81E", u"0AC81EFF", u"0A,C8,1E", u"10,200,30", u"10,200,30,255"},
        {Rgb(0, 0, 0), u"000000", u"000000FF", u"00,00,00", u"0,0,0", u"0,0,0,255"},
        {Rgb(255, 255, 255), u"FFFFFF", u"FFFFFFFF", u"FF,FF,FF", u"255,255,255", u"255,255,255,255"},
        // CLR_INVALID: only the three low bytes count.
        {0xFFFFFFFFu, u"FFFFFF", u"FFFFFFFF", u"FF,FF,FF", u"255,255,255", u"255,255,255,255"},
        {0x7F0000FFu, u"FF0000", u"FF0000FF", u"FF,00,00", u"255,0,0", u"255,0,0,255"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.hex, Form(HexForm, c.colour));
        EXPECT_EQ(c.hexAlpha, Form(HexAlphaForm, c.colour));
        EXPECT_EQ(c.hexComma, Form(HexCommaForm, c.colour));
        EXPECT_EQ(c.decimal, Form(DecimalForm, c.colour));
        EXPECT_EQ(c.decimalAlpha, Form(DecimalAlphaForm, c.colour));
    }
}

TEST(ColourForms, LabelHasEightBlanksOnEachSide) {
    EXPECT_EQ(u"        #FF8000 || 255,128,0        ", Form(LabelForm, Rgb(255, 128, 0)));
    EXPECT_EQ(u"        #0000FF || 0,0,255        ", Form(LabelForm, Rgb(0, 0, 255)));
}

TEST(ColourForms, HsvTable) {
    // Hue rounds half to even; saturation and value are truncated.
    struct {
        uint32_t colour;
        const char16_t *decimal, *hex;
    } const cases[] = {
        {Rgb(0, 0, 0), u"0,0,0", u"00,00,00"},
        {Rgb(255, 255, 255), u"0,0,100", u"00,00,64"},
        {Rgb(128, 128, 128), u"0,0,50", u"00,00,32"},    // value 0.50196 truncated
        {Rgb(1, 2, 3), u"210,66,1", u"D2,42,01"},        // hue 209.99, saturation 0.666
        {Rgb(255, 0, 1), u"360,100,100", u"168,64,64"},  // hue 359.76 prints 360
        {Rgb(0, 1, 8), u"232,100,3", u"E8,64,03"},       // hue exactly 232.5: to even
        {Rgb(0, 255, 0), u"120,100,100", u"78,64,64"},
        {Rgb(0, 0, 255), u"240,100,100", u"F0,64,64"},
        {Rgb(255, 128, 0), u"30,100,100", u"1E,64,64"},
        {Rgb(255, 0, 0), u"0,100,100", u"00,64,64"},
        // The channels are divided by 255 in single precision; in double these rows print otherwise.
        // 1/255f = 0.0039215689 and 24/255f = 0.0941176489: hue 60 * g / r = 2.50000010, up to 3
        // (in double exactly 2.5, to even 2).
        {Rgb(24, 1, 0), u"3,100,9", u"03,64,09"},
        // 5/255f / (8/255f) * 60 = 37.4999991, down to 37 (in double exactly 37.5, to even 38).
        {Rgb(8, 5, 0), u"37,100,3", u"25,64,03"},
        // Saturation (30/255f - 3/255f) / (30/255f) = 0.8999999984, truncated to 89 (in double 90).
        {Rgb(3, 30, 17), u"151,89,11", u"97,59,0B"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.decimal, HsvText(c.colour, false));
        EXPECT_EQ(c.hex, HsvText(c.colour, true));
    }
}

TEST(ColourForms, EveryColourGivesHsvInRange) {
    for (uint32_t colour = 0; colour <= 0xFFFFFF; ++colour) {
        Hsv const hsv = HsvFromColour(colour);
        int const hue = int(HalfEven(hsv.hue));
        int const saturation = int(hsv.saturation * 100.0);
        int const value = int(hsv.value * 100.0);
        int const r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = colour >> 16;
        bool const grey = r == g && g == b;
        if (hue < 0 || hue > 360 || saturation < 0 || saturation > 100 || value < 0 || value > 100 ||
            (grey && (hue != 0 || saturation != 0)))
            FAIL() << "colour " << colour << ": " << hue << "," << saturation << "," << value;
        ASSERT_LT(hsv.hue, 360.0) << colour;
        ASSERT_GE(hsv.hue, 0.0) << colour;
    }
}

TEST(ColourForms, InfoTextLines) {
    const char16_t* const help[5] = {u"Please:", u"press the key [1] to copy the #RRGGBB to the Clipboard",
                                     u"press the key [2] to copy the #RRGGBBAA to the Clipboard",
                                     u"press the key [3] to copy the RR,GG,BB to the Clipboard",
                                     u"press the key [4] to copy the RR,GG,BB,AA to the Clipboard"};
    char16_t text[kInfoTextChars];
    InfoText(Rgb(255, 128, 0), HalfEven, help, text, kInfoTextChars);
    EXPECT_EQ(
        u"#FF8000\r\nFF,80,00\r\n255,128,0\r\n255,128,0,255\r\nHSB/HSV:30,100,100\r\nHSB/HSV:1E,64,64\r\n\r\n"
        u"Please:\r\npress the key [1] to copy the #RRGGBB to the Clipboard\r\n"
        u"press the key [2] to copy the #RRGGBBAA to the Clipboard\r\n"
        u"press the key [3] to copy the RR,GG,BB to the Clipboard\r\n"
        u"press the key [4] to copy the RR,GG,BB,AA to the Clipboard\r\n",
        std::u16string(text));
}

// The Hebrew help lines (res/lang/25-hebrew.txt, IDs 42 and 43): each is embedded right to left in
// the info text, which itself reads left to right; a line of Latin letters stays as it is.
TEST(ColourForms, InfoTextEmbedsRightToLeftHelpLines) {
    const char16_t* const help[5] = {u"\u05E0\u05D0 \u05DC\u05DC\u05D7\u05D5\u05E5:",
                                     u"\u05E2\u05DC [1] #RRGGBB", u"", u"[3] RR,GG,BB", u"4 \u0627"};
    char16_t text[kInfoTextChars];
    InfoText(Rgb(51, 102, 204), HalfEven, help, text, kInfoTextChars);
    EXPECT_EQ(
        u"#3366CC\r\n33,66,CC\r\n51,102,204\r\n51,102,204,255\r\nHSB/HSV:220,75,80\r\nHSB/"
        u"HSV:DC,4B,50\r\n\r\n"
        u"\u202B\u05E0\u05D0 \u05DC\u05DC\u05D7\u05D5\u05E5:\u202C\r\n\u202B\u05E2\u05DC [1] "
        u"#RRGGBB\u202C\r\n\r\n"
        u"[3] RR,GG,BB\r\n\u202B4 \u0627\u202C\r\n",
        std::u16string(text));
}

TEST(ColourForms, OverlongInfoTextIsCutCleanly) {
    std::u16string const huge(kInfoTextChars * 2, u'x');
    // A surrogate pair that would straddle the end must not be split.
    std::u16string pairs_;
    for (size_t i = 0; i < kInfoTextChars; ++i) pairs_ += u"\U0001F600";
    std::u16string const& pairs = pairs_;
    for (const std::u16string* line : {&huge, &pairs}) {
        const char16_t* const help[5] = {line->c_str(), u"a", u"b", u"c", u"d"};
        char16_t text[kInfoTextChars + 8];
        for (char16_t& c : text) c = u'#';
        size_t const length = InfoText(0, HalfEven, help, text, kInfoTextChars);
        EXPECT_LT(length, kInfoTextChars);
        EXPECT_EQ(0, text[length]);
        EXPECT_EQ(u'#', text[kInfoTextChars]) << "wrote past the buffer";
        char16_t const last = text[length - 1];
        EXPECT_FALSE(last >= 0xD800 && last <= 0xDBFF) << "split surrogate pair";
        // Nothing from the later lines appears after the cut.
        EXPECT_EQ(std::u16string::npos, std::u16string(text).find(u"\r\na\r\n"));
    }
}

}  // namespace

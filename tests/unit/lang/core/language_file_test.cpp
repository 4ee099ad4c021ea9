#include "lang/core/language_file.h"

#include <stdio.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lang/core/language_archive.h"
#include "shipped_archive.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::vector<uint8_t> Utf16WithMark(const std::u16string& text) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        bytes.push_back(uint8_t(c & 0xFF));
        bytes.push_back(uint8_t(c >> 8));
    }
    return bytes;
}

// A stand-in for a double-byte code page such as 932: a byte from 0x81 to 0x9F or 0xE0 to 0xFC
// leads a character of two bytes (given here as U+8000 + the trail byte); any other byte is Latin-1.
// It records how the file reached it: cutting a file into blocks would show as several calls.
std::vector<size_t> g_conversionSizes;

size_t ConvertDoubleByte(const uint8_t* bytes, size_t size, char16_t* out, size_t outChars) {
    if (out) g_conversionSizes.push_back(size);
    size_t units = 0;
    for (size_t i = 0; i < size; i++, units++) {
        bool const lead = (bytes[i] >= 0x81 && bytes[i] <= 0x9F) || (bytes[i] >= 0xE0 && bytes[i] <= 0xFC);
        char16_t c = bytes[i];
        if (lead) c = i + 1 < size ? char16_t(0x8000 + bytes[++i]) : u'?';  // a cut character: '?'
        if (out && units < outChars) out[units] = c;
    }
    return out && units > outChars ? outChars : units;
}

std::u16string Decode(const std::vector<uint8_t>& bytes) {
    GrowingText text;
    EXPECT_EQ(DecodeLanguageFile(bytes.data(), bytes.size(), ConvertDoubleByte, &text),
              LanguageFileContent::kText);
    return std::u16string(text.Data(), text.Length());
}

TEST(LanguageFileDecode, EncodingsAndEnds) {
    struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::u16string text;
    } const cases[] = {
        {"UTF-16 after the mark, the mark skipped", Utf16WithMark(u"20=Beenden\r\n21=\u00C4\r\n"),
         u"20=Beenden\r\n21=\u00C4\r\n"},
        {"ANSI from the first byte", Bytes("20=Ende\r\n21=\xC4\n"), u"20=Ende\r\n21=\u00C4\n"},
        {"a double-byte character", Bytes("20=\x88\x9F\n"), u"20=\u809F\n"},
        {"a last line without line end gets one", Bytes("20=Ende"), u"20=Ende\n"},
        {"a last CR ends the line", Bytes("20=Ende\r"), u"20=Ende\n"},
        {"CR alone ends lines", Bytes("20=a\r21=b\r\n22=c\r\r\n"), u"20=a\n21=b\r\n22=c\n\r\n"},
        {"UTF-16 lines ended by CR alone", Utf16WithMark(u"20=a\r21=b"), u"20=a\n21=b\n"},
        {"UTF-16 last line", Utf16WithMark(u"20=Ende"), u"20=Ende\n"},
        {"one byte of a mark is ANSI", {0xFF}, u"\u00FF\n"},
        {"UTF-8 after its mark, the mark skipped",
         Bytes("\xEF\xBB\xBF"
               "20=\xC3\x84nde\r\n"),
         u"20=\u00C4nde\r\n"},
        {"UTF-8 without a mark", Bytes("20=\xC3\x84\xE2\x82\xAC\n"), u"20=\u00C4\u20AC\n"},
        {"UTF-8 beyond the basic plane becomes a pair", Bytes("20=\xF0\x9F\x8E\xA8\n"), u"20=\U0001F3A8\n"},
        {"ill-formed bytes after the UTF-8 mark become U+FFFD",
         Bytes("\xEF\xBB\xBF"
               "20=\xC3(\xED\xA0\x80\xF0\x9F\n"),
         u"20=\uFFFD(\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\n"},
        {"UTF-8 ends at a zero byte",
         Bytes(std::string("\xEF\xBB\xBF"
                           "20=\xC3\x84\0"
                           "21=b\n",
                           13)),
         u"20=\u00C4\n"},
        // One ill-formed sequence anywhere makes the whole file ANSI, as its editor wrote it.
        {"mostly UTF-8 is ANSI", Bytes("20=\xC3\xA4\n21=\xC4\n"), u"20=\u00C3\u00A4\n21=\u00C4\n"},
        {"UTF-16 with an odd last byte drops it", {0xFF, 0xFE, '2', 0, '0', 0, '='}, u"20\n"},
        {"UTF-16 ends at a zero unit",
         Utf16WithMark(std::u16string(u"20=a\n\0"
                                      u"21=b\n",
                                      11)),
         u"20=a\n"},
        {"ANSI ends at a zero byte",
         Bytes(std::string("20=a\n\0"
                           "21=b\n",
                           11)),
         u"20=a\n"},
        // UTF-16 without the mark is read as ANSI: its first zero byte ends the text at once.
        {"UTF-16 without the mark", {'2', 0, '0', 0, '=', 0, 'x', 0, '\n', 0}, u"2\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode(c.bytes), c.text) << c.name;
}

// What no translator means as texts: told apart, so that the user learns why nothing loads.
TEST(LanguageFileDecode, FilesWithoutTextSayWhy) {
    struct {
        const char* name;
        std::vector<uint8_t> bytes;
        LanguageFileContent content;
    } const cases[] = {
        {"empty", {}, LanguageFileContent::kEmpty},
        {"the UTF-16 mark alone", {0xFF, 0xFE}, LanguageFileContent::kMarkOnly},
        {"the UTF-16 mark and half a unit", {0xFF, 0xFE, '2'}, LanguageFileContent::kMarkOnly},
        {"the UTF-8 mark alone", {0xEF, 0xBB, 0xBF}, LanguageFileContent::kMarkOnly},
        {"the big-endian mark alone", {0xFE, 0xFF}, LanguageFileContent::kMarkOnly},
        {"UTF-16 big-endian", {0xFE, 0xFF, 0, '2', 0, '0'}, LanguageFileContent::kBigEndian},
    };
    for (const auto& c : cases) {
        GrowingText text;
        text.AppendAscii("old");
        EXPECT_EQ(DecodeLanguageFile(c.bytes.data(), c.bytes.size(), ConvertDoubleByte, &text), c.content)
            << c.name;
        EXPECT_EQ(text.Length(), 0u) << c.name;
    }
    GrowingText text;
    EXPECT_EQ(DecodeLanguageFile(nullptr, 0, ConvertDoubleByte, &text), LanguageFileContent::kEmpty);
}

// Converted whole, a character of two bytes on both sides of a 1,024-byte boundary stays whole.
TEST(LanguageFileDecode, DoubleByteCharacterAcrossBlockBoundaryStaysWhole) {
    std::string file = "20=";
    file += std::string(1023 - file.size(), 'a');  // the lead byte at offset 1,023
    file += "\x88\x9F\r\n21=\x88\x9F\r\n";
    file += std::string(3000, 'b') + "\r\n";
    g_conversionSizes.clear();
    GrowingText text;
    ASSERT_EQ(DecodeLanguageFile(Bytes(file).data(), file.size(), ConvertDoubleByte, &text),
              LanguageFileContent::kText);
    EXPECT_EQ(g_conversionSizes, std::vector<size_t>{file.size()}) << "one conversion of the whole file";
    const char16_t* table[kStringIdCount];
    ParseSection(text.MutableData(), table);
    ASSERT_NE(table[20], nullptr);
    std::u16string const twenty = table[20];
    EXPECT_EQ(twenty.size(), 1021u);
    EXPECT_EQ(twenty.back(), u'\u809F');
    EXPECT_EQ(std::u16string(table[21]), u"\u809F");
}

TEST(LanguageFileDecode, WithoutConverterAnAnsiFileIsEmpty) {
    GrowingText text;
    std::vector<uint8_t> const bytes = Bytes("20=\xC4nde\n");
    EXPECT_EQ(DecodeLanguageFile(bytes.data(), bytes.size(), nullptr, &text), LanguageFileContent::kText);
    EXPECT_EQ(std::u16string(text.Data()), u"\n");
}

class MissingTextReport : public testing::Test {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(LoadShippedArchive(&shipped)); }

    const char16_t* const* Reference() const { return shipped.archive->table[kReferenceSlot]; }

    // The report for a file holding every reference text except those of the IDs given.
    std::u16string ReportWithout(std::vector<int> missing, const char16_t* replacement = nullptr) {
        const char16_t* table[kStringIdCount];
        for (int id = 0; id < kStringIdCount; id++) table[id] = Reference()[id];
        for (int id : missing) table[id] = replacement;
        GrowingText report;
        BuildMissingTextReport(Reference(), table, &report);
        return report.Data();
    }

    ShippedArchive shipped;
};

TEST_F(MissingTextReport, CompleteFileIsOneHundredPercent) {
    EXPECT_EQ(ReportWithout({}), u"100 %");
}

TEST_F(MissingTextReport, TwelveMissingListNineWithTextThenNumbers) {
    // 33 of the 45 English texts: 73.3 %.
    EXPECT_EQ(ReportWithout({20, 21, 22, 25, 26, 27, 28, 30, 31, 40, 41, 42}),
              u"73 %\n\nmiss:\n20=E&xit\n21=Cancel\n22=Lisense\n25=Donate\n26=Program\n27=&Info\n28=&More\n"
              u"30=Start with &Windows\n31=&Always start minimized\n...and...\n40,41,42,");
}

TEST_F(MissingTextReport, NineMissingHaveNoTail) {
    EXPECT_EQ(
        ReportWithout({90, 91, 92, 93, 94, 95, 96, 97, 62}),
        u"80 %\n\nmiss:\n62=&Esc\n90=A small program to easily get the desktop pixel color value\n"
        u"91=But even if you have no need to determine color values, you can get to know and understand "
        u"the RGB color space in a playful way, especially suitable for schools or other purposes.\n"
        u"92=Features:\n93=-Very small program\n94=-Low CPU usage\n95=-Get RGB, HSL, RGBA, ... Color "
        u"value\n96=-Easy Edit the color in the Windows Color Palette\n97=-Portable\n");
}

TEST_F(MissingTextReport, EmptyTextCountsAsMissing) {
    EXPECT_EQ(ReportWithout({20}, u""), u"97 %\n\nmiss:\n20=E&xit\n");
}

TEST_F(MissingTextReport, EmptyFileLacksEverything) {
    const char16_t* table[kStringIdCount] = {};
    GrowingText report;
    BuildMissingTextReport(Reference(), table, &report);
    std::u16string const text = report.Data();
    EXPECT_EQ(text.find(u"0 %\n\nmiss:\n0=https://www.vantorel.com/?seite=translate\n20=E&xit\n"), 0u);
    EXPECT_NE(text.find(u"\n30=Start with &Windows\n...and...\n31,40,41,"), std::u16string::npos)
        << "9th is 30";
    std::u16string const tail = u",97,100,101,110,111,112,113,130,131,132,133,";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "ends with the last ID and its comma";
}

TEST(MissingTextReportWithoutReference, SaysSoInsteadOfAPercentage) {
    const char16_t* reference[kStringIdCount] = {};
    const char16_t* table[kStringIdCount] = {};
    reference[20] = u"";  // present but empty: still no text to compare with
    table[20] = u"Ende";
    GrowingText report;
    BuildMissingTextReport(reference, table, &report);
    EXPECT_EQ(std::u16string(report.Data()),
              u"The file is loaded, but its completeness cannot be measured: the program has no reference "
              u"texts to compare it with.");
}

std::vector<uint8_t> ReadGolden(const char* name) {
    std::string const path = std::string(HUEPEEK_SOURCE_DIR "/tests/unit/lang/golden/") + name;
    std::vector<uint8_t> bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        int c;
        while ((c = fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
        fclose(f);
    }
    return bytes;
}

std::vector<uint8_t> LittleEndian(const char16_t* text, size_t units) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < units; i++) {
        bytes.push_back(uint8_t(text[i] & 0xFF));
        bytes.push_back(uint8_t(text[i] >> 8));
    }
    return bytes;
}

// The template of an archive as the bytes that go into the file.
std::vector<uint8_t> TemplateBytes(const LanguageArchive& a) {
    GrowingText content;
    BuildTranslationTemplate(ProductString(a, 25), ProductString(a, 19), a.referenceCopy, &content);
    return LittleEndian(content.Data(), content.Length());
}

TEST(TranslationTemplate, ShippedTemplateMatchesGoldenBytes) {
    ShippedArchive shipped;
    ASSERT_NO_FATAL_FAILURE(LoadShippedArchive(&shipped));
    std::vector<uint8_t> const golden = ReadGolden("translate_Huepeek.txt");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(TemplateBytes(*shipped.archive), golden);
}

TEST(TranslationTemplate, LineEndsAndAbsentTexts) {
    GrowingText content;
    BuildTranslationTemplate(u"Please\r\nThanks\r\n", u"Huepeek 3.36", u"\nTranslatorName=\r\n20=Exit\r\n",
                             &content);
    EXPECT_EQ(std::u16string(content.Data()),
              u"\uFEFF\r\nPlease\r\nThanks\r\n\r\n!!!! Please don't forget !!!! Write in e-mail subject: "
              u"Strings for: Huepeek 3.36\r\nLanguage:\r\nYour Name 4 Web:\r\n\r\n\r\n"
              u"\nTranslatorName=\r\n20=Exit\r\n\r\n\r\n");
    BuildTranslationTemplate(nullptr, nullptr, u"", &content);
    EXPECT_EQ(std::u16string(content.Data()),
              u"\uFEFF\r\n\r\n!!!! Please don't forget !!!! Write in e-mail subject: Strings for: "
              u"\r\nLanguage:\r\nYour Name 4 Web:\r\n\r\n\r\n\r\n\r\n");
}

// A reference section far longer than the shipped one is written whole.
TEST(TranslationTemplate, LongReferenceSectionIsWrittenWhole) {
    std::u16string reference = u"\n";
    for (int id = 0; id < 255; id++) reference += u"20=" + std::u16string(400, u'x') + u"\r\n";
    GrowingText content;
    BuildTranslationTemplate(u"r", u"n", reference.c_str(), &content);
    std::u16string const text(content.Data(), content.Length());
    ASSERT_FALSE(content.Failed());
    GrowingText empty;
    BuildTranslationTemplate(u"r", u"n", u"", &empty);
    ASSERT_EQ(text.size(), empty.Length() + reference.size());
    EXPECT_EQ(text.substr(text.size() - reference.size() - 4), reference + u"\r\n\r\n");
}

// The template read back as a language file gives every reference text: its own lines hold no "=".
TEST(TranslationTemplate, LoadedBackIsComplete) {
    ShippedArchive shipped;
    ASSERT_NO_FATAL_FAILURE(LoadShippedArchive(&shipped));
    const LanguageArchive& a = *shipped.archive;
    std::vector<uint8_t> const bytes = TemplateBytes(a);
    GrowingText text;
    ASSERT_EQ(DecodeLanguageFile(bytes.data(), bytes.size(), ConvertDoubleByte, &text),
              LanguageFileContent::kText);
    const char16_t* table[kStringIdCount];
    ParseSection(text.MutableData(), table);
    for (int id = 0; id < kStringIdCount; id++) {
        const char16_t* expected = a.table[kReferenceSlot][id];
        if (!expected) {
            EXPECT_EQ(table[id], nullptr) << id;
        } else {
            EXPECT_EQ(std::u16string(table[id] ? table[id] : u"<null>"), std::u16string(expected)) << id;
        }
    }
    GrowingText report;
    BuildMissingTextReport(a.table[kReferenceSlot], table, &report);
    EXPECT_EQ(std::u16string(report.Data()), u"100 %");
}

}  // namespace

#include "lang/core/archive_builder.h"

#include "base/core/crc32.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "lang/core/language_archive.h"
#include "lang/core/lzari_encode.h"

namespace {

ArchiveSources Sources(std::vector<LanguageSource> languages, std::string preamble = "Huepeek\n",
                       std::string product = "19=Huepeek 3.36\n") {
    ArchiveSources sources;
    sources.preamble = std::move(preamble);
    sources.product = std::move(product);
    sources.languages = std::move(languages);
    return sources;
}

LanguageSource English(std::string body = "20=Exit\n") {
    return {1, "01-english.txt", "##=English\tEnglisch\n" + body};
}

const std::u16string kHead = u"\uFEFFHuepeek\r\n##\r\n19=Huepeek 3.36\r\n##\r\n##\r\n";
const std::u16string kTail = u"##\r\n\r\n\r\n";

struct TextCase {
    const char* name;
    ArchiveSources sources;
    std::u16string expected;
};

TEST(ArchiveBuilder, BuildsTheText) {
    const std::vector<TextCase> cases = {
        // Slot 0 has no file yet: a nameless section keeps English in slot 1, the reference slot.
        {"only English", Sources({English()}), kHead + u"##\r\n##=English\tEnglisch\r\n20=Exit\r\n" + kTail},
        {"CR LF input",
         Sources({{1, "01-english.txt", "##=English\r\n20=Exit\r\n"}}, "Huepeek\r\n", "19=Huepeek 3.36\r\n"),
         kHead + u"##\r\n##=English\r\n20=Exit\r\n" + kTail},
        {"UTF-8 BOM dropped, last line without LF kept",
         Sources({{1, "01-english.txt", "\xEF\xBB\xBF##=English\n20=Exit"}}),
         kHead + u"##\r\n##=English\r\n20=Exit\r\n" + kTail},
        {"blank lines and headings kept", Sources({English("\n[Info]\n90=A\n")}),
         kHead + u"##\r\n##=English\tEnglisch\r\n\r\n[Info]\r\n90=A\r\n" + kTail},
        {"single # is text", Sources({English("43=copy the #RRGGBB\n60=I found #AP#!\n")}),
         kHead + u"##\r\n##=English\tEnglisch\r\n43=copy the #RRGGBB\r\n60=I found #AP#!\r\n" + kTail},
        {"two- three- and four-byte UTF-8",
         Sources({{4, "04-japanese.txt",
                   "##=Japanese\t\xE6\x97\xA5\xE6\x9C\xAC\n20=\xC3\xA9\xF0\x9F\x98\x80\n"}}),
         kHead + u"##\r\n##\r\n##\r\n##\r\n##=Japanese\t\u65E5\u672C\r\n20=\u00E9\U0001F600\r\n" + kTail},
        {"gaps between slots",
         Sources({{0, "00-german.txt", "##=German\n"}, {3, "03-french.txt", "##=French\n"}}),
         kHead + u"##=German\r\n##\r\n##\r\n##=French\r\n" + kTail},
        {"no language files", Sources({}), kHead + kTail},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string text;
        std::string error;
        ASSERT_TRUE(BuildArchiveText(c.sources, &text, &error)) << error;
        EXPECT_EQ(text, c.expected);
    }
}

struct RefusalCase {
    const char* name;
    ArchiveSources sources;
    const char* message;  // part of the error, which names the file and line
};

TEST(ArchiveBuilder, RefusesBadSources) {
    auto english = [](const std::string& body) { return Sources({English(body)}); };
    const std::vector<RefusalCase> cases = {
        {"overlong NUL", english("20=\xC0\x80\n"), "01-english.txt:2: invalid UTF-8"},
        {"overlong three bytes", english("20=\xE0\x80\xAF\n"), "invalid UTF-8"},
        {"surrogate", english("20=\xED\xA0\x80\n"), "invalid UTF-8"},
        {"above U+10FFFF", english("20=\xF4\x90\x80\x80\n"), "invalid UTF-8"},
        {"byte FF", english("20=\xFF\n"), "invalid UTF-8"},
        {"lone continuation byte", english("20=\x80\n"), "invalid UTF-8"},
        {"bad continuation byte", english("20=\xC3(\n"), "invalid UTF-8"},
        {"sequence cut by the file end", english("20=\xE2\x82"), "invalid UTF-8"},
        {"invalid UTF-8 in the preamble", Sources({English()}, "Hue\xE9peek\n"),
         "preamble.txt:1: invalid UTF-8"},
        {"invalid UTF-8 in the product strings", Sources({English()}, "Huepeek\n", "19=\xA9\n"),
         "product.txt:1: invalid UTF-8"},
        {"NUL", english(std::string("20=a\0b\n", 7)), "NUL"},
        {"stray CR", english("20=a\rb\n"), "01-english.txt:2: carriage return"},
        {"## in a text line", english("20=a\n21=b##c\n"), "01-english.txt:3: \"##\""},
        {"## at a text line's start", english("##21=b\n"), "01-english.txt:2: \"##\""},
        {"second header in one file", english("##=Other\n"), "01-english.txt:2: \"##\""},
        {"### header", Sources({{1, "01-english.txt", "###=English\n"}}), "01-english.txt:1:"},
        {"## in a header name", Sources({{1, "01-english.txt", "##=Eng##lish\n"}}),
         "01-english.txt:1: \"##\""},
        {"## in the preamble", Sources({English()}, "Hue##peek\n"), "preamble.txt:1: \"##\""},
        {"## in the product strings", Sources({English()}, "Huepeek\n", "19=a\n20=##\n"),
         "product.txt:2: \"##\""},
        {"no header", Sources({{1, "01-english.txt", "20=Exit\n"}}), "01-english.txt:1: the file must begin"},
        {"header without name", Sources({{1, "01-english.txt", "##=\n20=Exit\n"}}), "must begin"},
        {"empty language file", Sources({{1, "01-english.txt", ""}}), "must begin"},
        {"two files for one slot", Sources({English(), English()}), "out of order"},
        {"slot 48", Sources({{48, "48-extra.txt", "##=Extra\n"}}), "out of range"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string text;
        std::string error;
        EXPECT_FALSE(BuildArchiveText(c.sources, &text, &error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// The text the packer builds must load with every language in the slot its file name gives.
TEST(ArchiveBuilder, SlotNumbersSurviveLoading) {
    std::u16string text;
    std::string error;
    ASSERT_TRUE(BuildArchiveText(
        Sources({{0, "00-german.txt", "##=German\n20=Beenden\n"},
                 English(),
                 {5, "05-russian.txt", "##=Russian\n20=\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4\n"}}),
        &text, &error))
        << error;
    std::vector<char16_t> buffer(text.begin(), text.end());
    buffer.push_back(0);
    auto archive = std::make_unique<LanguageArchive>();
    LoadArchiveText(buffer.data(), text.size(), archive.get());
    ASSERT_EQ(archive->languageCount, 7);  // slots 0 to 5 and the trailing nameless slot
    EXPECT_EQ(std::u16string(archive->slotName[0]), u"German");
    EXPECT_EQ(std::u16string(archive->slotName[1]), u"English\tEnglisch");
    EXPECT_EQ(archive->slotName[2], nullptr);
    EXPECT_EQ(std::u16string(archive->slotName[5]), u"Russian");
    EXPECT_EQ(std::u16string(archive->table[5][20]), u"\u0412\u044B\u0445\u043E\u0434");
    EXPECT_EQ(archive->slotName[6], nullptr);
    EXPECT_EQ(std::u16string(archive->product[19]), u"Huepeek 3.36");
}

TEST(ArchiveBuilder, ArchiveBytesLayout) {
    std::mt19937 random(7);
    for (int round = 0; round < 30; round++) {
        // Random text lengths, so that streams of many sizes are framed.
        std::u16string text(size_t(random() % 20000), u'a');
        for (auto& unit : text) unit = char16_t(random() % 0x3000);
        std::vector<uint8_t> archive = BuildArchiveBytes(text);
        size_t offset = 0;
        size_t size = 0;
        ASSERT_TRUE(FindArchivePayload(archive.data(), archive.size(), &offset, &size));
        EXPECT_EQ(offset, kStartMarkerSize);
        EXPECT_EQ(offset + size + kEndMarkerSize + kChecksumSize, archive.size());

        std::vector<uint8_t> utf16 = Utf16LeBytes(text);
        // The text's checksum, little-endian, behind the end marker.
        uint32_t const checksum = Crc32(utf16.data(), utf16.size());
        std::vector<uint8_t> const checksumBytes = {uint8_t(checksum), uint8_t(checksum >> 8),
                                                    uint8_t(checksum >> 16), uint8_t(checksum >> 24)};
        EXPECT_EQ(std::vector<uint8_t>(archive.end() - kChecksumSize, archive.end()), checksumBytes);
        std::vector<uint8_t> payload = LzariEncode(utf16.data(), utf16.size());
        ASSERT_EQ(size, payload.size() + kArchiveFiller);
        EXPECT_TRUE(std::equal(payload.begin(), payload.end(), archive.begin() + offset));
        for (size_t i = offset + payload.size(); i < offset + size; i++) ASSERT_EQ(archive[i], ' ') << i;
    }
}

TEST(ArchiveBuilder, Utf16LeBytesAreLittleEndian) {
    EXPECT_EQ(Utf16LeBytes(u"\uFEFFA\u20AC"), (std::vector<uint8_t>{0xFF, 0xFE, 0x41, 0x00, 0xAC, 0x20}));
}

class ArchiveSourceDirectory : public testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("huepeek_lang_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        Write("preamble.txt", "Huepeek\n");
        Write("product.txt", "19=Huepeek 3.36\n");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void Write(const std::string& name, const std::string& contents) {
        FILE* file = fopen((dir / name).string().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fwrite(contents.data(), 1, contents.size(), file);
        fclose(file);
    }

    std::filesystem::path dir;
};

TEST_F(ArchiveSourceDirectory, ReadsNumberedFilesInSlotOrder) {
    Write("03-french.txt", "##=French\n");
    Write("01-english.txt", "##=English\n");
    Write("README.md", "not a language");
    Write("1-short.txt", "##=Ignored\n");
    Write("01-english.txt.orig", "##=Ignored\n");
    ArchiveSources sources;
    std::string error;
    ASSERT_TRUE(ReadArchiveSources(dir.string(), &sources, &error)) << error;
    EXPECT_EQ(sources.preamble, "Huepeek\n");
    EXPECT_EQ(sources.product, "19=Huepeek 3.36\n");
    ASSERT_EQ(sources.languages.size(), 2u);
    EXPECT_EQ(sources.languages[0].slot, 1);
    EXPECT_EQ(sources.languages[0].fileName, "01-english.txt");
    EXPECT_EQ(sources.languages[0].utf8, "##=English\n");
    EXPECT_EQ(sources.languages[1].slot, 3);
}

TEST_F(ArchiveSourceDirectory, RefusesTwoFilesForOneSlot) {
    Write("01-english.txt", "##=English\n");
    Write("01-english-us.txt", "##=English (US)\n");
    ArchiveSources sources;
    std::string error;
    EXPECT_FALSE(ReadArchiveSources(dir.string(), &sources, &error));
    EXPECT_NE(error.find("two files for one slot"), std::string::npos) << error;
}

TEST_F(ArchiveSourceDirectory, RefusesSlotBeyondTheLast) {
    Write("48-extra.txt", "##=Extra\n");
    ArchiveSources sources;
    std::string error;
    EXPECT_FALSE(ReadArchiveSources(dir.string(), &sources, &error));
    EXPECT_NE(error.find("48-extra.txt"), std::string::npos) << error;
}

TEST_F(ArchiveSourceDirectory, RefusesMissingProductFile) {
    std::filesystem::remove(dir / "product.txt");
    ArchiveSources sources;
    std::string error;
    EXPECT_FALSE(ReadArchiveSources(dir.string(), &sources, &error));
    EXPECT_NE(error.find("product.txt"), std::string::npos) << error;
}

}  // namespace

// Language files and the translation template in this process: real files in the temporary
// folder, the real open dialog and message box, answered by a user on a second thread.
#include "lang/language_file.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/wide_text.h"
#include "translator_user.h"

namespace {

using namespace translator;

std::wstring TextOf(int id) {
    return Text(id);
}

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    return text;
}

std::wstring Load(const std::wstring& path, bool* loaded = nullptr) {
    GrowingText message;
    bool const ok = LoadLanguageFile(path.c_str(), &message);
    if (loaded) *loaded = ok;
    return Wide(message.Data());
}

class LanguageFileTest : public TranslatorTest {};

TEST_F(LanguageFileTest, TemplateIsWrittenWithItsExactBytes) {
    // A longer file of that name from before must leave no tail behind.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring const expectedPath = std::wstring(temp) + L"translate_Huepeek.txt";
    HANDLE const old =
        CreateFileW(expectedPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::vector<BYTE> const junk(20000, 'x');
    DWORD written = 0;
    WriteFile(old, junk.data(), DWORD(junk.size()), &written, nullptr);
    CloseHandle(old);

    // A language file in force changes nothing: the template is English.
    GrowingText file;
    file.Append(u"20=Fin\n");
    g_language.UseFile(&file);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(WriteTranslationTemplate(path));
    EXPECT_EQ(std::wstring(path), expectedPath);
    std::vector<BYTE> const golden =
        ReadFileBytes(L"" HUEPEEK_SOURCE_DIR L"/tests/unit/lang/golden/translate_Huepeek.txt");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(ReadFileBytes(path), golden);

    // A viewer holding the old file open, without sharing its deletion, keeps it from being
    // deleted: it is rewritten from its start and cut after the template.
    HANDLE const old2 =
        CreateFileW(expectedPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteFile(old2, junk.data(), DWORD(junk.size()), &written, nullptr);
    CloseHandle(old2);
    HANDLE const held = CreateFileW(expectedPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(expectedPath.c_str())) << "the viewer keeps the file from being deleted";
    bool const rewritten = WriteTranslationTemplate(path);
    CloseHandle(held);
    EXPECT_TRUE(rewritten);
    EXPECT_EQ(ReadFileBytes(path), golden);
}

TEST_F(LanguageFileTest, TemplateLoadedBackGivesEveryEnglishText) {
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(WriteTranslationTemplate(path));
    bool loaded = false;
    EXPECT_EQ(Load(path, &loaded), L"100 %");
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(g_language.FileInForce());
    EXPECT_EQ(TextOf(20), L"E&xit");
    EXPECT_EQ(TextOf(47).substr(0, 22), L"Press the \"? Pixel ?\" ");
    EXPECT_EQ(TextOf(0), L"https://www.vantorel.com/?seite=translate");
    EXPECT_EQ(TextOf(1), L"str:1?") << "a file in force answers alone";
}

TEST_F(LanguageFileTest, EncodingsLoad) {
    struct {
        const char* name;
        std::vector<BYTE> bytes;
        int id;
        const wchar_t* text;
    } const cases[] = {
        {"UTF-16 with the mark", Utf16WithMark(L"20=\u0412\u044B\u0445\u043E\u0434\r\n21=Abbruch\r\n"), 20,
         L"\u0412\u044B\u0445\u043E\u0434"},
        {"ANSI, lines ending in LF alone", Ansi("20=Beenden\n55=Deinstallieren\n"), 55, L"Deinstallieren"},
        {"last line without line end", Ansi("21=x\r\n20=Beenden"), 20, L"Beenden"},
        {"a text holding \"=\" and escapes", Ansi("61=a=b\\r\\nc\r\n"), 61, L"a=b\\r\\nc"},
    };
    for (const auto& c : cases) {
        Load(WriteFileBytes(L"encoding.txt", c.bytes));
        EXPECT_EQ(TextOf(c.id), c.text) << c.name;
    }
    if (GetACP() == 1252) {
        Load(WriteFileBytes(L"ansi.txt", Ansi("20=Schlie\xDF"
                                              "en\r\n")));
        EXPECT_EQ(TextOf(20), L"Schlie\u00DFen") << "the ANSI code page 1252";
    }
    // UTF-16 without the mark is read as ANSI: its first zero byte ends the text, nothing is usable.
    std::vector<BYTE> bytes = Utf16WithMark(Joined(EnglishLines()));
    bytes.erase(bytes.begin(), bytes.begin() + 2);
    EXPECT_EQ(Load(WriteFileBytes(L"unmarked.txt", bytes)).substr(0, 12), L"0 %\n\nmiss:\n0");
    EXPECT_EQ(TextOf(20), L"str:20?");
}

// The ways translators' editors save a file, read under the system's ANSI code page (1252 here):
// UTF-8 with or without its mark, and lines ended by a carriage return alone.
TEST_F(LanguageFileTest, EditorsWaysOfSavingLoad) {
    struct {
        const char* name;
        std::string bytes;
        int id;
        const wchar_t* text;
    } const cases[] = {
        {"UTF-8 without the mark",
         "20=Schlie\xC3\x9F"
         "en\r\n21=\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4\r\n",
         20, L"Schlie\u00DFen"},
        {"UTF-8 without the mark, Cyrillic",
         "20=Schlie\xC3\x9F"
         "en\r\n21=\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4\r\n",
         21, L"\u0412\u044B\u0445\u043E\u0434"},
        {"UTF-8 with the mark: the first line keeps its ID",
         "\xEF\xBB\xBF"
         "20=Beenden\r\n21=Abbrechen\r\n",
         20, L"Beenden"},
        {"UTF-8 beyond the basic plane",
         "\xEF\xBB\xBF"
         "20=\xF0\x9F\x8E\xA8 Ende\n",
         20, L"\U0001F3A8 Ende"},
        {"a damaged sequence after the mark shows as such",
         "\xEF\xBB\xBF"
         "20=a\xC3(b\n",
         20, L"a\uFFFD(b"},
        {"lines ended by CR alone", "20=Ende\r21=Abbruch\r55=Entfernen\r", 21, L"Abbruch"},
        {"the last of them too", "20=Ende\r21=Abbruch\r55=Entfernen\r", 55, L"Entfernen"},
        {"CR alone, then CR LF", "20=Ende\r\r\n21=Abbruch\r\n", 20, L"Ende"},
    };
    for (const auto& c : cases) {
        bool loaded = false;
        Load(WriteFileBytes(L"saved.txt", Ansi(c.bytes)), &loaded);
        EXPECT_TRUE(loaded) << c.name;
        EXPECT_EQ(TextOf(c.id), c.text) << c.name;
    }
    if (GetACP() != 1252) return;
    // Bytes that are not UTF-8 are the ANSI code page's, with or without letters beyond ASCII.
    Load(WriteFileBytes(L"ansi.txt", Ansi("20=Schlie\xDF"
                                          "en\r\n21=Caf\xE9\xC3\r\n")));
    EXPECT_EQ(TextOf(20), L"Schlie\u00DFen");
    EXPECT_EQ(TextOf(21), L"Caf\u00E9\u00C3");
}

// Files that hold no text the program can read are refused with a reason, in the program's own
// language even while a language file without these texts is in force, and that file stays.
TEST_F(LanguageFileTest, FilesWithoutReadableTextAreRefusedWithTheReason) {
    Load(WriteFileBytes(L"good.txt", Ansi("20=Gut\r\n")));
    struct {
        const char* name;
        std::vector<BYTE> bytes;
        const wchar_t* message;
    } const cases[] = {
        {"empty", {}, L"This language file is empty:"},
        {"the UTF-16 mark alone", {0xFF, 0xFE}, L"This language file holds only a byte-order mark (BOM):"},
        {"the UTF-8 mark alone",
         {0xEF, 0xBB, 0xBF},
         L"This language file holds only a byte-order mark (BOM):"},
        {"the big-endian mark alone",
         {0xFE, 0xFF},
         L"This language file holds only a byte-order mark (BOM):"},
        {"UTF-16 big-endian",
         {0xFE, 0xFF, 0, '2', 0, '0', 0, '=', 0, 'x', 0, '\n'},
         L"This language file is saved as UTF-16 big-endian:"},
    };
    for (const auto& c : cases) {
        std::wstring const path = WriteFileBytes(L"nothing.txt", c.bytes);
        bool loaded = true;
        std::wstring expected = std::wstring(c.message) + L"\n\n" + path;
        if (c.bytes.size() > 2 && c.bytes[0] == 0xFE)
            expected += L"\n\nPlease save it as UTF-8 or UTF-16 LE and load it again.";
        EXPECT_EQ(Load(path, &loaded), expected) << c.name;
        EXPECT_FALSE(loaded) << c.name;
        EXPECT_EQ(TextOf(20), L"Gut") << c.name;
    }
    // In German, with no file in force.
    g_language.Use(0);
    std::wstring const path = WriteFileBytes(L"nothing.txt", {});
    EXPECT_EQ(Load(path), L"Diese Sprachdatei ist leer:\n\n" + path);
}

TEST_F(LanguageFileTest, ReportsOfMissingTexts) {
    std::vector<std::wstring> lines = EnglishLines();
    ASSERT_EQ(lines.size(), 45u);
    ASSERT_EQ(lines[1], L"20=E&xit");
    std::vector<std::wstring> lacking12(lines.begin(), lines.begin() + 1);
    lacking12.insert(lacking12.end(), lines.begin() + 13, lines.end());
    std::vector<std::wstring> emptyExit = lines;
    emptyExit[1] = L"20=";
    struct {
        const char* name;
        std::wstring file;
        std::wstring report;
    } const cases[] = {
        {"lacking 12", Joined(lacking12),
         L"73 %\n\nmiss:\n20=E&xit\n21=Cancel\n22=Lisense\n25=Donate\n26=Program\n27=&Info\n28=&More\n"
         L"30=Start with &Windows\n31=&Always start minimized\n...and...\n40,41,42,"},
        {"20= is present but empty", Joined(emptyExit), L"97 %\n\nmiss:\n20=E&xit\n"},
        {"translator lines only", L"TranslatorName=Anna\r\n",
         L"2 %\n\nmiss:\n20=E&xit\n21=Cancel\n22=Lisense\n25=Donate\n26=Program\n27=&Info\n28=&More\n"
         L"30=Start with &Windows\n31=&Always start minimized\n...and...\n"
         L"40,41,42,43,44,45,46,47,51,52,53,54,55,56,60,61,62,90,91,92,93,94,95,96,97,100,101,110,111,112,"
         L"113,130,131,132,133,"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(WriteFileBytes(L"report.txt", Utf16WithMark(c.file))), c.report) << c.name;
    EXPECT_EQ(TextOf(0), L"Anna");
    EXPECT_EQ(TextOf(20), L"str:20?");

    Load(WriteFileBytes(L"report.txt", Utf16WithMark(Joined(emptyExit))));
    EXPECT_EQ(TextOf(20), L"") << "an empty text shows empty, not as a placeholder";

    // A file with lines but not one text lacks everything.
    std::wstring const nothing = Load(WriteFileBytes(L"no texts.txt", Ansi("Language:\r\n")));
    EXPECT_EQ(nothing.find(L"0 %\n\nmiss:\n0=https://www.vantorel.com/?seite=translate\n20=E&xit\n"), 0u);
    EXPECT_EQ(nothing.substr(nothing.size() - 9), L",132,133,");
}

// A second file replaces the first completely.
TEST_F(LanguageFileTest, NextFileReplacesTheFirst) {
    Load(WriteFileBytes(L"first.txt", Ansi("20=Erste\r\n21=Nur hier\r\n")));
    Load(WriteFileBytes(L"second.txt", Ansi("20=Zweite\r\n")));
    EXPECT_EQ(TextOf(20), L"Zweite");
    EXPECT_EQ(TextOf(21), L"str:21?");
}

// Files no one should choose: each gives a report or says why it was refused, at once. A refused
// file leaves the file in force as it was.
TEST_F(LanguageFileTest, HostileFiles) {
    Load(WriteFileBytes(L"good.txt", Ansi("20=Gut\r\n")));

    std::wstring const huge = TestFolder() + L"huge.txt";
    HANDLE const file = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 50ll << 20;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    bool loaded = true;
    EXPECT_EQ(Load(huge, &loaded), L"This file is too large to be a language file:\n\n" + huge);
    EXPECT_FALSE(loaded);
    DeleteFileW(huge.c_str());
    EXPECT_EQ(TextOf(20), L"Gut");

    EXPECT_EQ(Load(TestFolder() + L"missing.txt", &loaded),
              L"The language file cannot be read:\n\n" + TestFolder() + L"missing.txt");
    EXPECT_FALSE(loaded);
    EXPECT_EQ(Load(TestFolder(), &loaded).substr(0, 32), L"The language file cannot be read");
    EXPECT_EQ(TextOf(20), L"Gut");
    EXPECT_TRUE(g_language.FileInForce());

    std::vector<BYTE> binary(300000);
    unsigned seed = 12345;
    for (BYTE& b : binary) b = BYTE((seed = seed * 1103515245u + 12345u) >> 16);
    binary[0] = 'x';
    EXPECT_EQ(Load(WriteFileBytes(L"binary.bin", binary), &loaded).find(L" %"), 1u);
    EXPECT_TRUE(loaded);

    // Cut inside the line of ID 47, and inside a UTF-16 unit: 18 of the 45 texts, the last one cut.
    std::wstring const english = Joined(EnglishLines());
    size_t const cut = english.find(L"47=Press the \"") + 15;
    std::vector<BYTE> truncated = Utf16WithMark(english.substr(0, cut));
    truncated.push_back('x');
    EXPECT_EQ(Load(WriteFileBytes(L"truncated.txt", truncated), &loaded).substr(0, 4), L"40 %");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(TextOf(46), L"press the key [4] to copy the RR,GG,BB,AA to the Clipboard");
    EXPECT_EQ(TextOf(47), L"Press the \"?");

    std::vector<BYTE> largest(kMaxLanguageFileBytes, 'a');
    largest[0] = '2', largest[1] = '0', largest[2] = '=';
    EXPECT_EQ(Load(WriteFileBytes(L"largest.txt", largest), &loaded).substr(0, 3), L"2 %");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(wcslen(Text(20)), kMaxLanguageFileBytes - 3) << "the largest file taken is read whole";
}

// Under a double-byte code page (932, Japanese): a character whose two bytes lie on both sides of
// the 1,024-byte mark reads whole.
TEST_F(LanguageFileTest, DoubleByteCharacterAcrossBlocks) {
    if (GetACP() != 932) {
        // The run under LC_ALL=ja_JP.UTF-8 says so; elsewhere this test has nothing to do.
        if (_wgetenv(L"HUEPEEK_EXPECT_ACP_932")) FAIL() << "code page " << GetACP() << ", not 932";
        GTEST_SKIP() << "needs the ANSI code page 932 (LC_ALL=ja_JP.UTF-8)";
    }
    std::string file = "20=";
    file += std::string(1023 - file.size(), 'a');
    file += "\x93\xFA\r\n21=\x96\x7B\x8C\xEA\r\n";  // U+65E5 at bytes 1,023 and 1,024; "日本語" starts
    Load(WriteFileBytes(L"japanese.txt", Ansi(file)));
    std::wstring const exit = TextOf(20);
    ASSERT_EQ(exit.size(), 1021u);
    EXPECT_EQ(exit.back(), L'\u65E5');
    EXPECT_EQ(TextOf(21), L"\u672C\u8A9E");
}

// The real open dialog: the user types the path and presses the open button, then reads the report
// in the message box "Translate" and presses OK.
TEST_F(LanguageFileTest, OpenDialogLoadsTheTypedFileAndReports) {
    std::vector<std::wstring> lines = EnglishLines();
    lines.erase(lines.begin() + 1, lines.begin() + 13);
    std::wstring const path = WriteFileBytes(L"lacking twelve.txt", Utf16WithMark(Joined(lines)));

    HWND const owner = CreateWindowExW(0, L"Static", L"Huepeek", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                       300, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(owner);
    MessageBoxSeen seen;
    bool answered = false;
    std::thread user([&] {
        answered = AnswerOpenDialog(path, L"open_dialog") &&
                   AnswerMessageBox(L"Translate", &seen, L"report_lacking_twelve");
    });
    EXPECT_TRUE(ChooseLanguageFile(owner));
    user.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(seen.text,
              L"73 %\n\nmiss:\n20=E&xit\n21=Cancel\n22=Lisense\n25=Donate\n26=Program\n27=&Info\n28=&More\n"
              L"30=Start with &Windows\n31=&Always start minimized\n...and...\n40,41,42,");
    EXPECT_EQ(seen.owner, owner) << "owned by the active window";
    EXPECT_TRUE(g_language.FileInForce());
    EXPECT_EQ(TextOf(20), L"str:20?");
    EXPECT_EQ(TextOf(43), L"press the key [1] to copy the #RRGGBB to the Clipboard");

    // Cancelled: nothing changes and nothing is shown.
    std::thread canceller([&] { answered = AnswerOpenDialog(L""); });
    EXPECT_FALSE(ChooseLanguageFile(owner));
    canceller.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(TextOf(43), L"press the key [1] to copy the #RRGGBB to the Clipboard");
    DestroyWindow(owner);
}

}  // namespace

#include "services/core/self_delete_batch.h"

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Golden(const char* name) {
    std::ifstream in(std::string(HUEPEEK_SOURCE_DIR) + "/tests/unit/services/core/golden/" + name,
                     std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The batch's text as bytes; the tests use ASCII paths only, which every code page keeps.
std::string Batch(BatchFile exe, BatchFile settings) {
    char16_t out[2048];
    EXPECT_TRUE(BuildSelfDeleteBatch(exe, settings, kSelfDeleteTries, out, 2048));
    std::string bytes;
    for (const char16_t* c = out; *c; ++c) bytes += char(*c);
    return bytes;
}

BatchFile InText(const char16_t* path) {
    return {path, false};
}
BatchFile ThroughVariable(const char16_t* path) {
    return {path, true};
}

// The golden files are the batches byte by byte: CR LF lines, paths in quotes with each "%" doubled
// or read from their variables, a bounded loop with a pause, the portable settings file deleted
// only once the exe has gone, and the batch's own file deleted last.
TEST(SelfDeleteBatch, Golden) {
    char16_t const exe[] = u"C:\\Program Files\\Huepeek\\huepeek.exe";
    EXPECT_EQ(Golden("self_delete.bat"), Batch(InText(exe), InText(u"")));
    EXPECT_EQ(Golden("self_delete.bat"), Batch(InText(exe), InText(nullptr)));
    EXPECT_EQ(Golden("self_delete.bat"), Batch(InText(exe), ThroughVariable(u"")));
    EXPECT_EQ(Golden("self_delete_portable.bat"), Batch(InText(u"D:\\100% Tools\\%TEMP%\\picker.exe"),
                                                        InText(u"D:\\100% Tools\\%TEMP%\\picker.ini")));
    EXPECT_EQ(Golden("self_delete_variables.bat"),
              Batch(ThroughVariable(u"C:\\\u30d4\\p.exe"), ThroughVariable(u"C:\\\u30d4\\p.ini")));
}

TEST(SelfDeleteBatch, NeverCut) {
    std::u16string out(512 + 8, u'#');
    BatchFile const exe = InText(u"C:\\Program Files\\Huepeek\\huepeek.exe");
    BatchFile const none = InText(u"");
    std::string const whole = Golden("self_delete.bat");
    EXPECT_TRUE(BuildSelfDeleteBatch(exe, none, kSelfDeleteTries, &out[0], whole.size() + 1));
    // One unit short: no batch at all, since a cut path could name another file.
    EXPECT_FALSE(BuildSelfDeleteBatch(exe, none, kSelfDeleteTries, &out[0], whole.size()));
    EXPECT_EQ(u'\0', out[0]);
    EXPECT_EQ(std::u16string(8, u'#'), out.substr(512)) << "written past the capacity";
    EXPECT_FALSE(BuildSelfDeleteBatch(InText(u""), none, kSelfDeleteTries, &out[0], 512));
    EXPECT_FALSE(BuildSelfDeleteBatch(InText(nullptr), none, kSelfDeleteTries, &out[0], 512));
    EXPECT_FALSE(BuildSelfDeleteBatch(exe, none, kSelfDeleteTries, nullptr, 512));
}

// What cmd cannot be handed exactly is refused before anything is written.
TEST(SelfDeleteBatch, PathsThatCmdCannotTakeExactly) {
    std::u16string const longest = u"C:\\" + std::u16string(kBatchPathLimit - 4, u'a');  // 259
    std::u16string const tooLong = longest + u"a";
    struct {
        const char* name;
        const char16_t* path;
        BatchPathFault inText, throughVariable, ownPath;
    } const cases[] = {
        {"plain", u"C:\\Tools\\huepeek.exe", BatchPathFault::kNone, BatchPathFault::kNone,
         BatchPathFault::kNone},
        {"259 characters", longest.c_str(), BatchPathFault::kNone, BatchPathFault::kNone,
         BatchPathFault::kNone},
        {"260 characters", tooLong.c_str(), BatchPathFault::kTooLong, BatchPathFault::kTooLong,
         BatchPathFault::kTooLong},
        // Doubled in the text; a variable's value may be expanded again; on cmd's command line no
        // "%" can be escaped.
        {"a %OS% folder", u"C:\\a %OS% b\\x.exe", BatchPathFault::kNone, BatchPathFault::kPercent,
         BatchPathFault::kPercent},
        {"\"!\" is plain text", u"C:\\a!OS!b\\x.exe", BatchPathFault::kNone, BatchPathFault::kNone,
         BatchPathFault::kNone},
        {"wildcard ?", u"C:\\????.exe", BatchPathFault::kNotExact, BatchPathFault::kNotExact,
         BatchPathFault::kNotExact},
        {"wildcard *", u"C:\\*.exe", BatchPathFault::kNotExact, BatchPathFault::kNotExact,
         BatchPathFault::kNotExact},
        {"quote", u"C:\\a\" & del x & \".exe", BatchPathFault::kNotExact, BatchPathFault::kNotExact,
         BatchPathFault::kNotExact},
        {"line break", u"C:\\a\r\nDEL b.exe", BatchPathFault::kNotExact, BatchPathFault::kNotExact,
         BatchPathFault::kNotExact},
        {"redirection", u"C:\\a>b.exe", BatchPathFault::kNotExact, BatchPathFault::kNotExact,
         BatchPathFault::kNotExact},
        {"empty", u"", BatchPathFault::kNotExact, BatchPathFault::kNotExact, BatchPathFault::kNotExact},
        {"null", nullptr, BatchPathFault::kNotExact, BatchPathFault::kNotExact, BatchPathFault::kNotExact},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.inText, CheckBatchFilePath(c.path, false)) << c.name;
        EXPECT_EQ(c.throughVariable, CheckBatchFilePath(c.path, true)) << c.name;
        EXPECT_EQ(c.ownPath, CheckBatchOwnPath(c.path)) << c.name;
    }
}

TEST(SelfDeleteBatch, NameFollowsTheExe) {
    struct {
        const char16_t* module;
        const char16_t* expected;
    } const cases[] = {
        {u"C:\\Tools\\huepeek.exe", u"huepeek.exe_selfdestruct.bat"},
        {u"C:\\Tools\\picker.exe", u"picker.exe_selfdestruct.bat"},
        {u"C:/Tools/Huepeek 2.EXE", u"Huepeek 2.EXE_selfdestruct.bat"},
        {u"C:\\Tools/sub\\x", u"x_selfdestruct.bat"},
        {u"plain.exe", u"plain.exe_selfdestruct.bat"},
    };
    for (const auto& c : cases) {
        char16_t out[64];
        ASSERT_TRUE(SelfDeleteBatchName(c.module, out, 64));
        EXPECT_EQ(std::u16string(c.expected), out);
    }
    char16_t out[8] = u"old";
    EXPECT_FALSE(SelfDeleteBatchName(u"C:\\huepeek.exe", out, 8));
    EXPECT_EQ(u'\0', out[0]);
}

}  // namespace

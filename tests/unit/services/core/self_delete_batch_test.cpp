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
std::string Batch(const char16_t* exe, const char16_t* settings) {
    char16_t out[2048];
    EXPECT_TRUE(BuildSelfDeleteBatch(exe, settings, kSelfDeleteTries, out, 2048));
    std::string bytes;
    for (const char16_t* c = out; *c; ++c) bytes += char(*c);
    return bytes;
}

// The golden files are the batches byte by byte: CR LF lines, paths in quotes with each "%" doubled,
// a bounded loop with a pause, the portable settings file deleted only once the exe has gone, and
// the batch's own file deleted last.
TEST(SelfDeleteBatch, Golden) {
    EXPECT_EQ(Golden("self_delete.bat"), Batch(u"C:\\Program Files\\Huepeek\\huepeek.exe", u""));
    EXPECT_EQ(Golden("self_delete.bat"), Batch(u"C:\\Program Files\\Huepeek\\huepeek.exe", nullptr));
    EXPECT_EQ(Golden("self_delete_portable.bat"),
              Batch(u"D:\\100% Tools\\%TEMP%\\picker.exe", u"D:\\100% Tools\\%TEMP%\\picker.ini"));
}

TEST(SelfDeleteBatch, NeverCut) {
    std::u16string out(512 + 8, u'#');
    char16_t const exe[] = u"C:\\Program Files\\Huepeek\\huepeek.exe";
    std::string const whole = Golden("self_delete.bat");
    EXPECT_TRUE(BuildSelfDeleteBatch(exe, u"", kSelfDeleteTries, &out[0], whole.size() + 1));
    // One unit short: no batch at all, since a cut path could name another file.
    EXPECT_FALSE(BuildSelfDeleteBatch(exe, u"", kSelfDeleteTries, &out[0], whole.size()));
    EXPECT_EQ(u'\0', out[0]);
    EXPECT_EQ(std::u16string(8, u'#'), out.substr(512)) << "written past the capacity";
    EXPECT_FALSE(BuildSelfDeleteBatch(u"", u"", kSelfDeleteTries, &out[0], 512));
    EXPECT_FALSE(BuildSelfDeleteBatch(nullptr, u"", kSelfDeleteTries, &out[0], 512));
    EXPECT_FALSE(BuildSelfDeleteBatch(exe, u"", kSelfDeleteTries, nullptr, 512));
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

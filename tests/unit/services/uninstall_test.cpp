// The self-deleting batch as Wine's own cmd runs it: paths in any script, the give-up bound.
#include "services/uninstall.h"

#include <shellapi.h>

#include <string>

#include <gtest/gtest.h>

#include "base/wide_text.h"
#include "files.h"
#include "services/core/self_delete_batch.h"

namespace {

using e2e::FileBytes;
using e2e::FileExists;
using e2e::ScratchFolder;

// Runs a batch as uninstall does (the shell's "open", hidden, in the temporary folder) and waits
// until its cmd has ended.
bool RunBatch(const std::wstring& batch) {
    std::wstring const folder = e2e::TempFolder();
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    run.lpVerb = L"open";
    run.lpFile = batch.c_str();
    run.lpDirectory = folder.c_str();
    run.nShow = SW_HIDE;
    if (!ShellExecuteExW(&run) || !run.hProcess) return false;
    bool const ended = WaitForSingleObject(run.hProcess, 30000) == WAIT_OBJECT_0;
    CloseHandle(run.hProcess);
    return ended;
}

std::string InCodePage(UINT codePage, const std::wstring& text) {
    char bytes[1024] = {};
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, bytes, sizeof(bytes), nullptr, nullptr);
    return bytes;
}

// cmd reads a batch in the console's code page, not the ANSI one: a path that code page holds is
// written in it, one it cannot hold in its short form; either way the batch finds and deletes the
// exe and its settings file, then itself.
TEST(UninstallBatch, DeletesTheProgramWhateverItsPathIsWrittenIn) {
    struct {
        const wchar_t* folder;
        const wchar_t* exe;
        bool shortForm;
    } const cases[] = {
        {L"J\u00fcrgen's Huepeek", L"huepeek.exe", false},    // in every Western console code page
        {L"\u041f\u0451\u0442\u0440", L"huepeek.exe", true},  // Cyrillic, in none
        {L"\u65e5\u672c tools", L"\u30d4\u30c3\u30ab\u30fc.exe", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ScratchFolder const folder(c.folder);
        std::wstring const exe = folder.Path() + L"\\" + c.exe;
        std::wstring const ini = exe.substr(0, exe.size() - 4) + L".ini";
        ASSERT_TRUE(e2e::WriteFileBytes(exe, "MZ"));
        ASSERT_TRUE(e2e::WriteFileBytes(ini, "[Program]"));
        ASSERT_TRUE(folder.WriteFile(L"notes.txt", "kept"));
        wchar_t batch[MAX_PATH * 2] = {};
        ASSERT_TRUE(WriteSelfDeleteBatch(exe.c_str(), ini.c_str(), batch, ARRAYSIZE(batch)));
        EXPECT_EQ(e2e::TempFolder() + c.exe + L"_selfdestruct.bat", batch);
        std::string const text = FileBytes(batch);
        if (c.shortForm) {
            wchar_t shortExe[MAX_PATH] = {};
            ASSERT_NE(0u, GetShortPathNameW(exe.c_str(), shortExe, MAX_PATH));
            EXPECT_NE(std::string::npos, text.find("DEL \"" + InCodePage(CP_OEMCP, shortExe) + "\"")) << text;
        } else {
            EXPECT_NE(std::string::npos, text.find("DEL \"" + InCodePage(CP_OEMCP, exe) + "\"")) << text;
        }
        ASSERT_TRUE(RunBatch(batch));
        EXPECT_FALSE(FileExists(exe)) << "the exe stays";
        EXPECT_FALSE(FileExists(ini)) << "the settings file stays";
        EXPECT_FALSE(FileExists(batch)) << "the batch stays";
        EXPECT_TRUE(FileExists(folder.Path() + L"\\notes.txt"));
    }
}

// An exe that cannot be deleted (here: held open without delete sharing) makes the batch give up
// after its tries, pausing between them, instead of spinning for ever; the settings file then stays
// with the program, and the batch still deletes itself.
TEST(UninstallBatch, GivesUpOnAnExeThatCannotBeDeleted) {
    ScratchFolder const folder(L"huepeek held");
    std::wstring const exe = folder.Path() + L"\\huepeek.exe";
    std::wstring const ini = folder.Path() + L"\\huepeek.ini";
    ASSERT_TRUE(e2e::WriteFileBytes(exe, "MZ"));
    ASSERT_TRUE(e2e::WriteFileBytes(ini, "[Program]"));
    HANDLE const held =
        CreateFileW(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    char16_t text[2048];
    ASSERT_TRUE(BuildSelfDeleteBatch(Utf16(exe.c_str()), Utf16(ini.c_str()), 2, text, 2048));
    std::wstring const batch = e2e::TempFolder() + L"huepeek-held_selfdestruct.bat";
    ASSERT_TRUE(e2e::WriteFileBytes(batch, InCodePage(CP_OEMCP, Wide(text))));
    EXPECT_TRUE(RunBatch(batch)) << "the batch did not give up";
    EXPECT_TRUE(FileExists(exe));
    EXPECT_TRUE(FileExists(ini)) << "the settings went while the program stayed";
    EXPECT_FALSE(FileExists(batch));
    CloseHandle(held);
}

}  // namespace

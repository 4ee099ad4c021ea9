// The self-deleting batch as Wine's own cmd runs it: paths in any script, files that only look like
// the program's, the give-up bound, and the paths it refuses before anything is written.
#include "services/uninstall.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/wide_text.h"
#include "files.h"
#include "harness.h"
#include "lang/core/text_ids.h"
#include "services/core/self_delete_batch.h"

namespace {

using e2e::FileBytes;
using e2e::FileExists;
using e2e::ScratchFolder;

// Starts a batch as uninstall does and waits until its cmd has ended.
bool RunBatch(const wchar_t* batch, const std::wstring& exe, const std::wstring& settings) {
    HANDLE process = nullptr;
    UninstallFault const fault = StartSelfDeleteBatch(batch, exe.c_str(), settings.c_str(), &process);
    EXPECT_EQ(0, fault.what) << "not started";
    if (!process) return false;
    bool const ended = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

std::string InCodePage(UINT codePage, const std::wstring& text) {
    char bytes[1024] = {};
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, bytes, sizeof(bytes), nullptr, nullptr);
    return bytes;
}

std::wstring SettingsFileOf(const std::wstring& exe) {
    return exe.substr(0, exe.size() - 4) + L".ini";
}

// Writes a file (and the folder it is in) under the folder.
void Put(const ScratchFolder& folder, const std::wstring& name) {
    size_t const slash = name.rfind(L'\\');
    if (slash != std::wstring::npos)
        CreateDirectoryW((folder.Path() + L"\\" + name.substr(0, slash)).c_str(), nullptr);
    ASSERT_TRUE(folder.WriteFile(name, "a file")) << "cannot write a test file";
}

// cmd reads a batch in the console's code page, not the ANSI one: a path that code page holds
// stands in the text in it, any other is read from a variable; either way the batch finds and
// deletes the exe and its settings file, then itself.
TEST(UninstallBatch, DeletesTheProgramWhateverItsPathIsWrittenIn) {
    struct {
        const wchar_t* folder;
        const wchar_t* exe;
        bool inText;
    } const cases[] = {
        {L"J\u00fcrgen's Huepeek", L"huepeek.exe", true},      // in every Western console code page
        {L"\u041f\u0451\u0442\u0440", L"huepeek.exe", false},  // Cyrillic: not in the test's code page 437
        {L"\u65e5\u672c tools", L"\u30d4\u30c3\u30ab\u30fc.exe", false},
        {L"Huepeek (x86) & more!", L"\U0001F3A8 picker!OS!.exe", false},
    };
    ASSERT_EQ(437u, GetOEMCP()) << "the cases assume the console code page of an English system";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ScratchFolder const folder(c.folder);
        std::wstring const exe = folder.Path() + L"\\" + c.exe;
        std::wstring const ini = SettingsFileOf(exe);
        ASSERT_TRUE(e2e::WriteFileBytes(exe, "MZ"));
        ASSERT_TRUE(e2e::WriteFileBytes(ini, "[Program]"));
        ASSERT_TRUE(folder.WriteFile(L"notes.txt", "kept"));
        wchar_t batch[kBatchPathChars] = {};
        ASSERT_EQ(0, WriteSelfDeleteBatch(exe.c_str(), ini.c_str(), batch).what);
        EXPECT_EQ(e2e::TempFolder() + c.exe + L"_selfdestruct.bat", batch);
        std::string const text = FileBytes(batch);
        std::string exeForm = "%HUEPEEK_UNINSTALL_EXE%";
        if (c.inText) {
            exeForm = InCodePage(CP_OEMCP, exe);
            for (size_t at = 0; (at = exeForm.find('%', at)) != std::string::npos; at += 2)
                exeForm.insert(at, "%");
        }
        EXPECT_NE(std::string::npos, text.find("DEL \"" + exeForm + "\"")) << text;
        ASSERT_TRUE(RunBatch(batch, exe, ini));
        EXPECT_FALSE(FileExists(exe)) << "the exe stays";
        EXPECT_FALSE(FileExists(ini)) << "the settings file stays";
        EXPECT_FALSE(FileExists(batch)) << "the batch stays";
        EXPECT_TRUE(FileExists(folder.Path() + L"\\notes.txt"));
    }
}

// Files that a careless batch takes for the program's own: names that the "?" of a failed
// conversion matches as a wildcard, a look-alike that a best-fit conversion turns the name into,
// and files and folders that share a short (8.3) name with the program's (both found deleted by
// uninstall under Wine). The batch deletes the program's files and nothing else.
TEST(UninstallBatch, DeletesNothingButTheProgramsOwnFiles) {
    struct {
        const wchar_t* exe;  // under the scratch folder
        std::vector<std::wstring> others;
    } const cases[] = {
        {L"\u30d4\u30c3\u30ab\u30fc\U0001F3A8.exe",
         {L"abcde.exe", L"abcdef.exe", L"abcdefg.exe", L"abcde.ini", L"abcdef.ini"}},
        {L"\uff50\uff49\uff43\uff4b\uff45\uff52.exe", {L"picker.exe", L"picker.ini"}},  // full-width letters
        {L"\u043f\u0438\u043a\u0435\u0440.exe", {L"\u0442\u0435\u0441\u0442 498.exe"}},
        {L"\u041f\u0438\u043f\u0435\u0442\u043a\u0430 319\\huepeek.exe",
         {L"\u041f\u0438\u043f\u0435\u0442\u043a\u0430\\huepeek.exe",
          L"\u041f\u0438\u043f\u0435\u0442\u043a\u0430\\huepeek.ini"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ScratchFolder const folder(L"huepeek look-alikes");
        for (std::wstring const& other : c.others) Put(folder, other);
        std::wstring const exe = folder.Path() + L"\\" + c.exe;
        Put(folder, c.exe);
        std::wstring const ini = SettingsFileOf(exe);
        ASSERT_TRUE(e2e::WriteFileBytes(ini, "[Program]"));
        wchar_t batch[kBatchPathChars] = {};
        ASSERT_EQ(0, WriteSelfDeleteBatch(exe.c_str(), ini.c_str(), batch).what);
        ASSERT_TRUE(RunBatch(batch, exe, ini));
        EXPECT_FALSE(FileExists(exe)) << "the exe stays";
        EXPECT_FALSE(FileExists(ini)) << "the settings file stays";
        for (std::wstring const& other : c.others)
            EXPECT_TRUE(FileExists(folder.Path() + L"\\" + other))
                << "another file went: " << (&other - &c.others[0]);
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
    ASSERT_TRUE(
        BuildSelfDeleteBatch({Utf16(exe.c_str()), false}, {Utf16(ini.c_str()), false}, 2, text, 2048));
    std::wstring const batch = e2e::TempFolder() + L"huepeek-held_selfdestruct.bat";
    ASSERT_TRUE(e2e::WriteFileBytes(batch, InCodePage(CP_OEMCP, Wide(text))));
    EXPECT_TRUE(RunBatch(batch.c_str(), exe, ini)) << "the batch did not give up";
    EXPECT_TRUE(FileExists(exe));
    EXPECT_TRUE(FileExists(ini)) << "the settings went while the program stayed";
    EXPECT_FALSE(FileExists(batch));
    CloseHandle(held);
}

// What cannot be named exactly, written or started is refused with its reason, and an older batch
// of the name stays as it was.
TEST(UninstallBatch, RefusesWhatItCannotDoExactly) {
    ScratchFolder const folder(L"huepeek refused");
    std::wstring deep = folder.Path();
    while (deep.size() < 262) deep += L"\\" + std::wstring(40, L'd');
    std::wstring const longName(234, L'n');
    std::wstring const percentFolder = e2e::TempFolder() + L"huepeek %OS% temp";
    CreateDirectoryW(percentFolder.c_str(), nullptr);
    std::wstring const heldBatch = e2e::TempFolder() + L"held.exe_selfdestruct.bat";
    DWORD const tooLong = ERROR_FILENAME_EXCED_RANGE;
    struct {
        const char* name;
        std::wstring exe;
        std::wstring settings;
        const wchar_t* temp;  // the temporary folder, if not the usual one
        int what;
        DWORD error;
        bool exePathNamed;  // else the batch's path
    } const cases[] = {
        {"exe path of 260 characters", deep + L"\\huepeek.exe", L"", nullptr, kTextNotDeleted, tooLong, true},
        {"settings path of 260 characters", folder.Path() + L"\\huepeek.exe", deep + L"\\huepeek.ini",
         nullptr, kTextNotDeleted, tooLong, false},
        {"\"%\" in a path only a variable holds", folder.Path() + L"\\\u043f%OS%.exe", L"", nullptr,
         kTextNotDeleted, ERROR_INVALID_NAME, true},
        {"an exe name of 234 characters", L"C:\\" + longName + L".exe", L"", nullptr, kTextNotWritten,
         tooLong, false},
        {"\"%\" in the exe name", folder.Path() + L"\\huepeek %OS%.exe", L"", nullptr, kTextNotWritten,
         ERROR_INVALID_NAME, false},
        {"\"%\" in the temporary folder", folder.Path() + L"\\huepeek.exe", L"", percentFolder.c_str(),
         kTextNotWritten, ERROR_INVALID_NAME, false},
        // Another copy of the name still uninstalling: its cmd holds the batch, shared for reading and
        // writing, while it runs.
        {"the batch held by another copy's cmd", folder.Path() + L"\\held.exe", L"", nullptr, kTextNotWritten,
         ERROR_SHARING_VIOLATION, false},
    };
    std::string const older = "@echo off\r\nrem another copy's batch\r\n";
    ASSERT_TRUE(e2e::WriteFileBytes(heldBatch, older));
    HANDLE const held = CreateFileW(heldBatch.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<e2e::ScopedEnvironment> temp;
        if (c.temp) temp.reset(new e2e::ScopedEnvironment(L"TMP", (std::wstring(c.temp) + L"\\").c_str()));
        if (c.error != ERROR_SHARING_VIOLATION) {
            // What an earlier run may have left.
            std::wstring const name = c.exe.substr(c.exe.rfind(L'\\') + 1) + L"_selfdestruct.bat";
            DeleteFileW(((c.temp ? std::wstring(c.temp) + L"\\" : e2e::TempFolder()) + name).c_str());
        }
        wchar_t batch[kBatchPathChars] = {};
        UninstallFault const fault = WriteSelfDeleteBatch(c.exe.c_str(), c.settings.c_str(), batch);
        EXPECT_EQ(c.what, fault.what);
        EXPECT_EQ(c.error, fault.error);
        ASSERT_NE(nullptr, fault.path);
        if (c.exePathNamed) {
            EXPECT_EQ(c.exe, fault.path);
        } else if (!c.settings.empty()) {
            EXPECT_EQ(c.settings, fault.path);
        } else {
            EXPECT_EQ(std::wstring(batch), fault.path) << "not the batch's path";
            EXPECT_NE(std::wstring::npos, std::wstring(batch).find(L"_selfdestruct.bat"));
        }
        if (c.error != ERROR_SHARING_VIOLATION) {
            EXPECT_FALSE(FileExists(batch)) << "a batch was written";
        }
    }
    CloseHandle(held);
    EXPECT_EQ(older, FileBytes(heldBatch)) << "the other copy's batch was written over";
    DeleteFileW(heldBatch.c_str());
    RemoveDirectoryW(percentFolder.c_str());
}

}  // namespace

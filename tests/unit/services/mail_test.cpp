// Composing the mail at the Simple MAPI boundary: the system's MAPI32.DLL with the recording mail
// program registered as the user's mail program.
#include "services/mail.h"

#include <string>

#include <gtest/gtest.h>

#include "base/core/crc32.h"
#include "base/process_state.h"
#include "base/program_path.h"
#include "mail_recorder.h"
#include "files.h"
#include "services/core/zip_writer.h"

namespace {

using e2e::MailRecorder;
using e2e::RecordedMail;

// Russian and German: the wide call keeps both, the ANSI call what the ANSI code page holds.
wchar_t const kSubject[] = L"\u0423\u0440\u0430 Gr\u00fc\u00dfe :Huepeek";
wchar_t const kText[] = L"\u041f\u0440\u0438\u0432\u0435\u0442\r\nZeile 2 \u00e4\u00f6\u00fc\r\n";

std::wstring ThroughAnsiCodePage(const std::wstring& text) {
    char bytes[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, sizeof(bytes), nullptr, nullptr);
    wchar_t back[1024] = {};
    MultiByteToWideChar(CP_ACP, 0, bytes, -1, back, ARRAYSIZE(back));
    return back;
}

class MailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner_ =
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        lstrcpyW(g_productName, L"Huepeek");
    }
    void TearDown() override { DestroyWindow(owner_); }

    // Registered before the first test loads MAPI32.DLL, which reads the registration then.
    MailRecorder mail_;
    HWND owner_ = nullptr;
};

TEST_F(MailTest, WideCallWhereThereIsOneAnsiCallOtherwise) {
    MailEntries const system = SystemMailEntries();
    ASSERT_NE(nullptr, system.ansi);
    ASSERT_NE(nullptr, system.wide) << "the system's MAPI32.DLL has MAPISendMailW";
    EXPECT_TRUE(ComposeMail(system, owner_, nullptr, kSubject, kText));
    std::wstring const attachment = e2e::TempFolder() + L"Huepeek.zip";
    MailEntries const ansiOnly = {system.ansi, nullptr};
    EXPECT_TRUE(ComposeMail(ansiOnly, owner_, attachment.c_str(), kSubject, kText));
    ASSERT_TRUE(mail_.WaitForMails(2, 2000));
    std::vector<RecordedMail> const mails = mail_.Mails();

    EXPECT_EQ(L"MAPISendMailW", mails[0].call);
    EXPECT_EQ(kSubject, mails[0].subject);
    EXPECT_EQ(kText, mails[0].text);
    EXPECT_EQ(0u, mails[0].fileCount);

    EXPECT_EQ(L"MAPISendMail", mails[1].call);
    EXPECT_EQ(ThroughAnsiCodePage(kSubject), mails[1].subject);
    EXPECT_EQ(ThroughAnsiCodePage(kText), mails[1].text);
    if (GetACP() == 1252) {
        EXPECT_EQ(L"??? Gr\u00fc\u00dfe :Huepeek", mails[1].subject);
    }
    ASSERT_EQ(1u, mails[1].files.size());
    EXPECT_EQ(0xFFFFFFFFu, mails[1].files[0].position);
    EXPECT_EQ(attachment, mails[1].files[0].path);
    EXPECT_EQ(L"Huepeek.zip", mails[1].files[0].name);
    for (RecordedMail const& m : mails) {
        EXPECT_EQ(ULONG_PTR(owner_), m.owner);
        EXPECT_EQ(9u, m.flags);  // MAPI_LOGON_UI | MAPI_DIALOG
        EXPECT_EQ(0u, m.recipients);
    }
}

// The subject's field holds 263 characters; a longer subject is cut there, never inside a
// surrogate pair. An attachment path that does not fit is refused: cut, it would name another file.
TEST_F(MailTest, LongSubjectsAreCutAndLongAttachmentPathsRefused) {
    MailEntries const system = SystemMailEntries();
    std::wstring const longSubject(300, L's');
    std::wstring const pairAtTheEnd = std::wstring(262, L'p') + L"\U0001F600";
    std::wstring const fits = L"C:\\" + std::wstring(260 - 4, L'f') + L".zip";  // 263 characters
    std::wstring const tooLong = L"C:\\" + std::wstring(261 - 4, L'f') + L".zip";
    for (MailEntries const& entries : {system, MailEntries{system.ansi, nullptr}}) {
        EXPECT_TRUE(ComposeMail(entries, owner_, nullptr, longSubject.c_str(), L""));
        EXPECT_TRUE(ComposeMail(entries, owner_, fits.c_str(), pairAtTheEnd.c_str(), L""));
        EXPECT_FALSE(ComposeMail(entries, owner_, tooLong.c_str(), L"subject", L""));
    }
    // The mail program records each mail before its call returns.
    std::vector<RecordedMail> const mails = mail_.Mails();
    ASSERT_EQ(4u, mails.size()) << "a mail with a refused attachment went out";
    for (size_t i : {0u, 2u}) EXPECT_EQ(std::wstring(263, L's'), mails[i].subject);
    EXPECT_EQ(std::wstring(262, L'p'), mails[1].subject);
    for (size_t i : {1u, 3u}) {
        ASSERT_EQ(1u, mails[i].files.size());
        EXPECT_EQ(fits, mails[i].files[0].path);
    }
}

TEST_F(MailTest, NothingWithoutAnOwnerOrSimpleMapi) {
    MailEntries const system = SystemMailEntries();
    DestroyWindow(owner_);
    EXPECT_FALSE(ComposeMail(system, owner_, nullptr, L"s", L"t")) << "the owner is gone";
    EXPECT_FALSE(ComposeMail(system, nullptr, nullptr, L"s", L"t"));
    HWND const owner =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(ComposeMail(MailEntries{nullptr, nullptr}, owner, nullptr, L"s", L"t"));
    DestroyWindow(owner);
    EXPECT_TRUE(mail_.Mails().empty());
}

uint32_t U32(const std::string& b, size_t at) {
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

// The zip replaces whatever lay at its path and holds the running exe once, whole, under the
// product name; where it cannot be written, none is left.
TEST_F(MailTest, ProgramZipHoldsTheExeOnce) {
    std::wstring const zip = e2e::TempFolder() + L"huepeek-test.zip";
    std::string const older(1 << 20, 'x');
    e2e::ScratchFolder const folder(L"huepeek-zip-test");
    ASSERT_TRUE(e2e::WriteFileBytes(zip, older));
    std::string const exe = e2e::FileBytes(ProgramPath());
    ASSERT_FALSE(exe.empty());
    for (int time = 1; time <= 2; ++time) {
        ASSERT_EQ(0u, BuildProgramZip(zip.c_str())) << "time " << time;
        std::string const bytes = e2e::FileBytes(zip);
        ASSERT_EQ(kZipLocalHeaderBytes + 11 + exe.size() + kZipDirectoryHeaderBytes + 11 + kZipEndRecordBytes,
                  bytes.size());
        EXPECT_EQ("Huepeek.exe", bytes.substr(kZipLocalHeaderBytes, 11));
        EXPECT_TRUE(bytes.substr(kZipLocalHeaderBytes + 11, exe.size()) == exe) << "the zipped exe differs";
        EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(exe.data()), exe.size()), U32(bytes, 14));
    }
    DeleteFileW(zip.c_str());
    std::wstring const nowhere = folder.Path() + L"\\no such folder\\Huepeek.zip";
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), BuildProgramZip(nowhere.c_str()));
    EXPECT_FALSE(e2e::FileExists(nowhere));
}

}  // namespace

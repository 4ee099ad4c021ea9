// Start-up as a user meets it: one instance per session, the language archive inside the exe, and
// libraries only from the system folder.
#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {
namespace {

wchar_t const kHostClass[] = L"Huepeek";

std::wstring MakeTempDir(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring const dir = std::wstring(temp) + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::vector<char> ReadFileBytes(const std::wstring& path) {
    std::vector<char> bytes;
    HANDLE const file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<char>& bytes) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The hidden host window of a running instance (FindWindowW finds hidden windows too).
HWND HostWindow() {
    return FindWindowW(kHostClass, L"Huepeek");
}

std::wstring ChildTexts(HWND parent) {
    std::wstring texts;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM all) {
            *reinterpret_cast<std::wstring*>(all) += WindowText(child) + L"\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// Wine's per-program DLL overrides, removed again when the test ends.
class PreferNativeDlls {
  public:
    template <size_t N>
    PreferNativeDlls(std::initializer_list<const wchar_t*> programs, const wchar_t* const (&dlls)[N]) {
        for (const wchar_t* program : programs) {
            std::wstring const key = std::wstring(L"Software\\Wine\\AppDefaults\\") + program;
            keys_.push_back(key);
            HKEY hkey;
            if (RegCreateKeyExW(HKEY_CURRENT_USER, (key + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &hkey, nullptr))
                continue;
            for (const wchar_t* dll : dlls) {
                std::wstring name = dll;
                name = name.substr(0, name.find(L'.'));
                RegSetValueExW(hkey, name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(L"native,builtin"), sizeof(L"native,builtin"));
            }
            RegCloseKey(hkey);
        }
    }
    ~PreferNativeDlls() {
        for (const std::wstring& key : keys_) RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    }

  private:
    std::vector<std::wstring> keys_;
};

class StartupTest : public E2eTest {};

TEST_F(StartupTest, SecondInstanceHandsOverAndEndsWith1) {
    Process first;
    ASSERT_TRUE(StartHuepeek(first, L"-bg"));
    ASSERT_TRUE(WaitUntil([] { return HostWindow() != nullptr; }, kStartTimeoutMs)) << "no host window";
    HWND const host = HostWindow();
    EXPECT_FALSE(IsWindowVisible(host)) << "the host window is never shown";

    Process second;
    ASSERT_TRUE(StartHuepeek(second, L""));
    DWORD code = 0;
    ASSERT_TRUE(second.WaitExit(kExitTimeoutMs, &code)) << "the second instance kept running";
    EXPECT_EQ(DWORD(1), code);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(host, HostWindow());
}

TEST_F(StartupTest, ClosingTheHostWindowEndsWith0) {
    Process huepeek;
    ASSERT_TRUE(StartHuepeek(huepeek, L""));
    ASSERT_TRUE(WaitUntil([] { return HostWindow() != nullptr; }, kStartTimeoutMs));
    PostMessageW(HostWindow(), WM_CLOSE, 0, 0);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(huepeek.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(0), code);
}

TEST_F(StartupTest, DamagedArchiveIsReportedBeforeAnyWindowOrMutex) {
    std::vector<char> exe = ReadFileBytes(HuepeekPath());
    ASSERT_FALSE(exe.empty());
    // The start marker's token; the exe holds it contiguously only inside the archive.
    std::string const token = "SDSGDGSDHREETETBCNMJUKR----------\n";
    auto const at = std::search(exe.begin(), exe.end(), token.begin(), token.end());
    ASSERT_NE(exe.end(), at);
    *at = 'X';
    std::wstring const copy = MakeTempDir(L"huepeek-damaged") + L"\\huepeek.exe";
    ASSERT_TRUE(WriteFileBytes(copy, exe));

    Process damaged;
    ASSERT_TRUE(damaged.Start(copy, L""));
    HWND const box = WaitForWindow(L"#32770", L"Error!", damaged.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, box) << "no error message";
    EXPECT_NE(std::wstring::npos, ChildTexts(box).find(L"Error! Loading language file string archive"));
    EXPECT_EQ(nullptr, HostWindow());

    // The mutex is not taken: a normal start meanwhile is a first instance and stays.
    Process normal;
    ASSERT_TRUE(StartHuepeek(normal, L"-bg"));
    EXPECT_TRUE(WaitUntil([] { return HostWindow() != nullptr; }, kStartTimeoutMs));
    EXPECT_TRUE(normal.Running());

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(damaged.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(0), code);
    DeleteFileW(copy.c_str());
}

TEST_F(StartupTest, DllsBesideTheExeOrInTheCurrentFolderAreNeverLoaded) {
    std::wstring const dir = MakeTempDir(L"huepeek-planted");
    std::wstring const work = MakeTempDir(L"huepeek-planted-cwd");
    std::wstring const exe = dir + L"\\huepeek.exe";
    ASSERT_TRUE(CopyFileW(HuepeekPath().c_str(), exe.c_str(), FALSE));
    wchar_t const* const planted[] = {L"UxTheme.dll", L"MAPI32.DLL", L"zipfldr.dll", L"dwmapi.dll"};
    std::vector<std::wstring> markers;
    for (const wchar_t* name : planted) {
        for (const std::wstring& folder : {dir, work}) {
            std::wstring const dll = folder + L"\\" + name;
            ASSERT_TRUE(CopyFileW(FixturePath(L"marker.dll").c_str(), dll.c_str(), FALSE));
            markers.push_back(dll + L".loaded");
            DeleteFileW(markers.back().c_str());
        }
    }
    // Wine prefers its own built-in DLLs; ask it to prefer files for these two programs, as
    // Windows would find them.
    PreferNativeDlls overrides({L"huepeek.exe", L"naive_loader.exe"}, planted);

    // The control: a program that loads by bare name does pick up the planted DLL.
    std::wstring const naive = dir + L"\\naive_loader.exe";
    ASSERT_TRUE(CopyFileW((TestProgramDir() + L"\\naive_loader.exe").c_str(), naive.c_str(), FALSE));
    {
        Process control;
        ASSERT_TRUE(control.Start(naive, L"MAPI32.DLL", work.c_str()));
        control.WaitExit(kExitTimeoutMs, nullptr);
    }
    std::wstring const controlMarker = dir + L"\\MAPI32.DLL.loaded";
    ASSERT_TRUE(FileExists(controlMarker)) << "the control did not load the planted DLL";
    DeleteFileW(controlMarker.c_str());

    // The direct picker and the palette process between them load every optional library.
    MoveCursor(640, 400);
    Process picker;
    ASSERT_TRUE(picker.Start(exe, L"huepeek", work.c_str()));
    ASSERT_NE(nullptr, WaitForWindow(L"RealTimeMagnifier1_____5", L"", picker.Id(), kStartTimeoutMs));
    Process palette;
    ASSERT_TRUE(palette.Start(exe, L"last_rgb_color_from_the_huepeek", work.c_str()));
    ASSERT_NE(nullptr, WaitForWindow(L"#32770", nullptr, palette.Id(), kStartTimeoutMs))
        << "no colour dialog";
    for (const std::wstring& marker : markers)
        EXPECT_FALSE(FileExists(marker)) << "loaded: " << std::string(marker.begin(), marker.end());
}

}  // namespace
}  // namespace e2e

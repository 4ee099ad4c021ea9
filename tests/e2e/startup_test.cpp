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

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The archive's markers, as the packer writes them; the CRC-32 of the text follows the end marker.
std::string const kStartMarker = "\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n";
std::string const kEndMarker = "\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n";

struct ArchiveInExe {
    size_t payload;   // offset of the declared size
    size_t end;       // offset of the end marker
    size_t checksum;  // offset of the CRC-32
};

bool FindArchive(const std::vector<char>& exe, ArchiveInExe* archive) {
    auto const start = std::search(exe.begin(), exe.end(), kStartMarker.begin(), kStartMarker.end());
    auto const end = std::search(exe.begin(), exe.end(), kEndMarker.begin(), kEndMarker.end());
    if (start == exe.end() || end == exe.end()) return false;
    archive->payload = size_t(start - exe.begin()) + kStartMarker.size();
    archive->end = size_t(end - exe.begin());
    archive->checksum = archive->end + kEndMarker.size();
    return archive->payload < archive->end;
}

// The multi-line info box that the palette process adds to the colour dialog.
HWND InfoBox(HWND dialog) {
    for (HWND edit : ChildWindows(dialog, L"Edit"))
        if (GetDlgCtrlID(edit) == 0 && (GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE)) return edit;
    return nullptr;
}

class StartupTest : public E2eTest {
  protected:
    // A copy of huepeek.exe in a folder of its own, changed by the caller.
    std::wstring WriteChangedCopy(const wchar_t* folder, const std::vector<char>& exe) {
        std::wstring const copy = MakeTempDir(folder) + L"\\huepeek.exe";
        EXPECT_TRUE(WriteFileBytes(copy, exe));
        return copy;
    }
};

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

// One changed byte in the archive: the text no longer matches its checksum and the start ends with
// the error message, instead of some languages silently showing English or placeholders. Bytes the
// decoder never reads change nothing.
TEST_F(StartupTest, DamagedArchiveStreamIsReported) {
    std::vector<char> const exe = ReadFileBytes(HuepeekPath());
    ArchiveInExe archive;
    ASSERT_TRUE(FindArchive(exe, &archive));
    size_t const stream = archive.payload + 4;
    struct {
        const char* where;
        size_t offset;
        bool reported;
    } const damages[] = {
        {"declared size", archive.payload, true},
        {"early in the stream", stream + 100, true},
        {"middle of the stream", stream + 10000, true},
        {"checksum", archive.checksum + 2, true},
        {"filler before the end marker", archive.end - 2, false},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.where);
        std::vector<char> changed = exe;
        changed[damage.offset] ^= 0x20;
        // A copy of its own for each damage: Wine may still hold the image of the copy that the last
        // process ran for a moment after that process has ended.
        std::wstring const folder = L"huepeek-damaged-stream-" + std::to_wstring(&damage - damages);
        std::wstring const copy = WriteChangedCopy(folder.c_str(), changed);
        Process damaged;
        ASSERT_TRUE(damaged.Start(copy, L"last_rgb_color_from_the_huepeek"));
        HWND const window = WaitForWindow(L"#32770", nullptr, damaged.Id(), kStartTimeoutMs);
        ASSERT_NE(nullptr, window) << "neither a message nor the colour dialog";
        if (damage.reported) {
            EXPECT_EQ(L"Error!", WindowText(window));
            EXPECT_NE(std::wstring::npos,
                      ChildTexts(window).find(L"Error! Loading language file string archive"));
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            DWORD code = 0xFFFF;
            ASSERT_TRUE(damaged.WaitExit(kExitTimeoutMs, &code));
            EXPECT_EQ(DWORD(0), code);
        } else {
            EXPECT_NE(nullptr, InfoBox(window)) << "the colour dialog";
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            DWORD code = 0xFFFF;
            ASSERT_TRUE(damaged.WaitExit(kExitTimeoutMs, &code));
            EXPECT_EQ(DWORD(1), code);
        }
    }
}

// An archive without texts (declared size 0, the empty text's checksum 0): every text is a
// placeholder that names its own ID, also where one window shows several at once.
TEST_F(StartupTest, EmptyArchiveShowsEachMissingTextsOwnPlaceholder) {
    std::vector<char> exe = ReadFileBytes(HuepeekPath());
    ArchiveInExe archive;
    ASSERT_TRUE(FindArchive(exe, &archive));
    // The end marker and a zero checksum right behind the start marker; the file keeps its length.
    std::copy(kEndMarker.begin(), kEndMarker.end(), exe.begin() + archive.payload);
    std::fill_n(exe.begin() + archive.payload + kEndMarker.size(), 4, '\0');
    std::wstring const copy = WriteChangedCopy(L"huepeek-empty-archive", exe);

    WriteSetting(L"last_rgb_color", L"255");
    Process palette;
    ASSERT_TRUE(palette.Start(copy, L"last_rgb_color_from_the_huepeek"));
    HWND const dialog = WaitForWindow(L"#32770", nullptr, palette.Id(), kStartTimeoutMs);
    ASSERT_NE(nullptr, dialog) << "no colour dialog";
    EXPECT_NE(L"Error!", WindowText(dialog));
    HWND const info = InfoBox(dialog);
    ASSERT_NE(nullptr, info);
    std::wstring const help = L"\r\n\r\nstr2:42?\r\nstr2:43?\r\nstr2:44?\r\nstr2:45?\r\nstr2:46?\r\n";
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::wstring const text = WindowText(info);
            return text.size() > help.size() &&
                   text.compare(text.size() - help.size(), help.size(), help) == 0;
        },
        2000))
        << Narrow(WindowText(info));
    ASSERT_TRUE(DrainMessages(dialog));
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    EXPECT_TRUE(SaveScreenshot(rect, ScreenshotDir() + L"\\palette_empty_archive.png"));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(palette.WaitExit(kExitTimeoutMs, nullptr));
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

// "Start with Windows": the Run entry as the check box writes, checks, rewrites and removes it.
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "files.h"
#include "harness.h"

namespace e2e {
namespace {

wchar_t const kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
wchar_t const kValue[] = L"Huepeek";
int const kAutostartBox = 1014;

struct RunValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
    std::wstring Text() const {
        std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        if (!text.empty() && text.back() == 0) text.pop_back();
        return text;
    }
};

RunValue ReadRun(const wchar_t* name) {
    RunValue value;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &bytes) == ERROR_SUCCESS) {
        value.bytes.resize(bytes);
        value.present =
            RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &bytes) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return value;
}

bool WriteRun(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return false;
    bool const ok =
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool WriteRunText(const wchar_t* name, const std::wstring& text) {
    return WriteRun(name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring Command(const std::wstring& exe, const wchar_t* blanks) {
    return L"\"" + exe + L"\"" + blanks + L"-bg -startup";
}

class AutostartTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        Forget();
    }
    void TearDown() override {
        E2eTest::TearDown();
        Forget();
    }
    static void Forget() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, kValue);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, L"OtherProgram");
    }

    HWND Start(const std::wstring& exe = HuepeekPath()) {
        if (!huepeek_.Start(exe, L"")) return nullptr;
        return WaitForMainDialog(huepeek_.Id(), kStartTimeoutMs);
    }
    bool BoxTicked(HWND dialog) { return IsChecked(GetDlgItem(dialog, kAutostartBox)); }
    void Tick(HWND dialog) {
        bool const before = BoxTicked(dialog);
        ClickButton(GetDlgItem(dialog, kAutostartBox));
        EXPECT_TRUE(WaitUntil([&] { return BoxTicked(dialog) != before; }, 2000));
        // The click's command runs right after the box changes.
        EXPECT_TRUE(DrainMessages(dialog));
    }
    void Restart() { huepeek_.Kill(); }

    Process huepeek_;
};

TEST_F(AutostartTest, TickingWritesTheEntryAndTheNextStartKeepsItInItsOwnForm) {
    HWND dialog = Start();
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(BoxTicked(dialog));
    ASSERT_TRUE(WriteRunText(L"OtherProgram", L"\"C:\\other.exe\" /x"));
    Tick(dialog);
    RunValue const written = ReadRun(kValue);
    ASSERT_TRUE(written.present) << "nothing written";
    EXPECT_EQ(DWORD(REG_SZ), written.type);
    EXPECT_EQ(Command(HuepeekPath(), L" "), written.Text()) << "one blank when enabling";
    EXPECT_EQ(0, written.bytes.back()) << "stored with its terminator";
    Restart();

    dialog = Start();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(BoxTicked(dialog)) << "the next start does not show the entry";
    EXPECT_EQ(Command(HuepeekPath(), L"  "), ReadRun(kValue).Text()) << "two blanks after the check";

    Tick(dialog);
    EXPECT_FALSE(ReadRun(kValue).present) << "unticking left the entry";
    EXPECT_EQ(L"\"C:\\other.exe\" /x", ReadRun(L"OtherProgram").Text())
        << "another program's entry was touched";
}

// An entry that names another file is brought up to date at start: a moved exe, and paths that
// only a linguistic comparison takes for this one (letter case, a soft hyphen, a decomposed letter).
TEST_F(AutostartTest, StaleEntriesAreRewrittenAtStart) {
    ProgramCopy const copy(L"Huepeek Caf\u00E9", L"huepeek.exe");  // precomposed e with acute
    ASSERT_TRUE(copy.Copied());
    std::wstring upper = Command(copy.Exe(), L"  ");
    CharUpperBuffW(&upper[0], DWORD(upper.size()));
    std::wstring hyphenated = copy.Exe();
    hyphenated.insert(hyphenated.size() - 8, L"\u00AD");  // hue<soft hyphen>peek.exe
    std::wstring decomposed = copy.Exe();
    size_t const e = decomposed.find(L"Caf\u00E9") + 3;
    decomposed.replace(e, 1, L"e\u0301");  // e and the combining acute
    struct {
        const char* what;
        std::wstring stored;
    } const cases[] = {
        {"moved", Command(L"C:\\Old Place\\huepeek.exe", L" ")},
        {"letter case", upper},
        {"soft hyphen", Command(hyphenated, L"  ")},
        {"decomposed letter", Command(decomposed, L"  ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteRunText(kValue, c.stored));
        HWND const dialog = Start(copy.Exe());
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(BoxTicked(dialog));
        EXPECT_EQ(Command(copy.Exe(), L"  "), ReadRun(kValue).Text());
        Restart();
    }
}

TEST_F(AutostartTest, PathWithBlanksIsQuoted) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring const folder = std::wstring(temp) + L"huepeek with blanks";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring const exe = folder + L"\\huepeek.exe";
    ASSERT_TRUE(CopyFileW(HuepeekPath().c_str(), exe.c_str(), FALSE));
    HWND dialog = Start(exe);
    ASSERT_NE(nullptr, dialog);
    Tick(dialog);
    EXPECT_EQ(Command(exe, L" "), ReadRun(kValue).Text());
    Restart();
    dialog = Start(exe);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(BoxTicked(dialog));
    EXPECT_EQ(Command(exe, L"  "), ReadRun(kValue).Text());
    Restart();
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(AutostartTest, MissingRunKeyIsCreatedEmpty) {
    // Kept aside and put back: the prefix's own entries are not the test's to lose.
    HKEY run;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_ALL_ACCESS, &run));
    std::vector<std::pair<std::wstring, RunValue>> saved;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD chars = 256;
        if (RegEnumValueW(run, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        saved.push_back({name, ReadRun(name)});
    }
    RegCloseKey(run);
    for (const auto& entry : saved) RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, entry.first.c_str());
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, kRun));

    HWND const dialog = Start();
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(BoxTicked(dialog));
    HKEY created;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_READ, &created)) << "not created";
    DWORD values = 99;
    RegQueryInfoKeyW(created, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(created);
    EXPECT_EQ(0u, values) << "created with values";
    Tick(dialog);
    EXPECT_EQ(Command(HuepeekPath(), L" "), ReadRun(kValue).Text());

    for (const auto& [name, value] : saved)
        WriteRun(name.c_str(), value.type, value.bytes.data(), DWORD(value.bytes.size()));
}

// A value that is not a terminated string counts as absent, and is left as it is.
TEST_F(AutostartTest, ValuesThatAreNotTerminatedStringsAreLeftAlone) {
    DWORD const number = 1;
    std::wstring const text = Command(HuepeekPath(), L"  ");
    // Wine's RegSetValueExW stores the terminator that follows the given bytes; a character that
    // is no terminator keeps it out.
    std::wstring const unterminated = text + L"!";
    struct {
        const char* what;
        DWORD type;
        const void* data;
        DWORD bytes;
    } const cases[] = {
        {"REG_DWORD", REG_DWORD, &number, sizeof(number)},
        {"REG_SZ without terminator", REG_SZ, unterminated.c_str(), DWORD(text.size() * sizeof(wchar_t))},
        {"REG_BINARY", REG_BINARY, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteRun(kValue, c.type, c.data, c.bytes));
        HWND const dialog = Start();
        ASSERT_NE(nullptr, dialog);
        EXPECT_FALSE(BoxTicked(dialog));
        RunValue const after = ReadRun(kValue);
        EXPECT_EQ(c.type, after.type);
        EXPECT_EQ(
            std::vector<BYTE>(static_cast<const BYTE*>(c.data), static_cast<const BYTE*>(c.data) + c.bytes),
            after.bytes);
        Restart();
    }
}

}  // namespace
}  // namespace e2e

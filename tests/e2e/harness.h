#pragma once
// A small library for end-to-end tests: it starts the real huepeek.exe in the test prefix and drives
// it the way a user would, through the input, clipboard and registry that Wine really provides.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace e2e {

// Every wait in the harness is bounded; a program that hangs fails its test and is ended.
DWORD const kStartTimeoutMs = 10000;
DWORD const kExitTimeoutMs = 10000;

std::wstring TestProgramDir();  // the folder of the test program, where huepeek.exe is built too
std::wstring HuepeekPath();
std::wstring FixturePath(const wchar_t* name);  // a helper DLL from the fixtures folder

// A started program. Its processes, and every process they start, belong to a job that ends them
// when the Process is destroyed, so a failed test never leaves a program running.
class Process {
  public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Start(const std::wstring& exe, const std::wstring& arguments, const wchar_t* directory = nullptr);
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode);  // false on time-out
    bool Running() const;
    void Kill();
    DWORD Id() const { return id_; }

  private:
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

bool StartHuepeek(Process& process, const std::wstring& arguments);

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// A visible top-level window of the class (and title, unless null), of the process (unless 0).
HWND FindTopWindow(const wchar_t* className, const wchar_t* title, DWORD processId);
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD processId, DWORD timeoutMs);
bool WaitForNoWindow(const wchar_t* className, DWORD processId, DWORD timeoutMs);
std::wstring WindowText(HWND hwnd);

// Input as Wine delivers it: SetCursorPos moves the X pointer (SendInput absolute moves do not);
// buttons, wheel and keys go through SendInput. Without a window manager X focus follows the
// pointer, so keys reach the Wine window under it.
void MoveCursor(int x, int y);
POINT CursorPos();
void Click(bool right = false);
void Wheel(int notches);  // positive: away from the user
void PressKey(WORD virtualKey, DWORD holdMs = 150);

bool ReadClipboardText(std::wstring* text);
bool WriteClipboardText(const std::wstring& text);
bool ClearClipboard();

// HKCU\Software\Vantorel\Huepeek\Program
void ResetSettings();
bool WriteSetting(const wchar_t* name, const std::wstring& text);
bool WriteSettingValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes);
bool ReadSetting(const wchar_t* name, std::wstring* text);
bool SettingExists(const wchar_t* name);

// Processes of an exe name (case-insensitive), and ending stray ones from an earlier test.
int CountProcesses(const wchar_t* exeName);
void KillProcesses(const wchar_t* exeName);

// Every end-to-end test starts from a clean state: no Huepeek running, no settings, empty clipboard.
class E2eTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace e2e

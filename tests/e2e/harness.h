#pragma once
// A small library for end-to-end tests: it starts the real huepeek.exe in the test prefix and drives
// it the way a user would, through the input, clipboard and registry that Wine really provides.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "screenshot.h"  // ScreenshotDir and SaveScreenshot, PNG files for a person to look at

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

    // desktop names the desktop to run on (Wine makes a virtual desktop of a name with a size under
    // HKCU\Software\Wine\Explorer\Desktops); null: the test's own.
    bool Start(const std::wstring& exe, const std::wstring& arguments, const wchar_t* directory = nullptr,
               const wchar_t* desktop = nullptr);
    // Takes over a process that was started some other way (by Wine's loader), found by its ID.
    bool Attach(DWORD processId);
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode);  // false on time-out
    bool Running() const;
    // How many processes the program's job has held, the program included: what it started, also
    // those that have ended since. 0 for a process taken over by Attach.
    DWORD StartedProcesses() const;
    void Kill();
    DWORD Id() const { return id_; }

  private:
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

bool StartHuepeek(Process& process, const std::wstring& arguments);

// Starts a program as the wine command does from a shell. Neither Windows without long-path
// support nor Wine starts a program by an application path of 260 characters or more, but Wine's
// own loader does, and the program then runs with that path as its own. Attach to it afterwards.
bool StartThroughWineLoader(const std::wstring& exe, const std::wstring& arguments);

// Runs xdotool, whose input the X server delivers as a keyboard or mouse would (keys go to the X
// window under the pointer). A program of the host system gives no handle to wait on: the caller
// waits for what it does, e.g. a pointer move named last on its command line.
bool Xdotool(const std::wstring& arguments);

// A Windows path as the Linux side sees it ("Z:\work" is "/work").
std::string UnixPath(const std::wstring& path);
// Runs a command of the Linux shell and gives its exit status; false when it did not end in time.
bool RunLinuxCommand(const std::string& command, DWORD* exitCode);

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Before checking that something did not happen: returns once the thread of the window has come
// round to its messages again, so that a slow program cannot pass the check merely by not having
// come to it yet; false when it does not answer within kDrainTimeoutMs (it hangs, or the window or
// its process is gone). A thread also takes sent messages while it waits for another thread inside
// a call, before the posted and input messages in its queue: what a test does to a window through
// a message, it sends (then it is done when the send returns), and after input it waits for what
// the input does.
DWORD const kDrainTimeoutMs = 5000;
bool DrainMessages(HWND window);
// Sends a message to a window of another program and returns once it has been handled; false when
// it is not answered within kDrainTimeoutMs.
bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The hidden host window of a running huepeek.exe (there in every mode but the colour dialog's),
// to drain its user-interface thread when it shows no window; null when there is none.
HWND HostWindowOf(DWORD processId);
// A visible top-level window of the class (and title, unless null), of the process (unless 0).
HWND FindTopWindow(const wchar_t* className, const wchar_t* title, DWORD processId);
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD processId, DWORD timeoutMs);
bool WaitForNoWindow(const wchar_t* className, DWORD processId, DWORD timeoutMs);
std::wstring WindowText(HWND hwnd);

// Input as Wine delivers it: SetCursorPos moves the X pointer (SendInput absolute moves do not);
// buttons, wheel and keys go through SendInput. Without a window manager X focus follows the
// pointer, so keys reach the Wine window under it.
void MoveCursor(int x, int y);
// A window that appeared under a resting pointer gets the X focus only once the pointer moves: one
// pixel aside (right, unless told otherwise) and back. False when the pointer did not come back.
bool NudgeCursor(POINT at, int dx = 1, int dy = 0);
POINT CursorPos();
void Click(bool right = false);
void Wheel(int notches);  // positive: away from the user
void PressKey(WORD virtualKey, DWORD holdMs = 150);
void SendKeyEvent(WORD virtualKey, bool up);  // one half of a key press, for tests that time it
// Holds a key down, repeating it as a keyboard does, until the condition holds (true) or the time
// is up (false), then lets it go. For a key that a program polls with GetAsyncKeyState (the
// picker's Esc): Wine sets its key state to the X server's whenever one of its windows gets the
// pointer or the X focus, and X never holds a key sent through SendInput, so one press can be let
// go again before the poll comes round.
bool HoldKeyUntil(WORD virtualKey, const std::function<bool()>& condition, DWORD timeoutMs);

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

// Windows of other processes, read and written through messages that Wine carries across processes.
std::wstring ClassNameOf(HWND hwnd);
std::vector<HWND> ChildWindows(HWND parent, const wchar_t* className /* null: every class */);
bool SetTextOf(HWND hwnd, const std::wstring& text);  // WM_SETTEXT, as if the user had typed it
bool ClickButton(HWND button);                        // BM_CLICK, posted: the click may end a modal loop
RECT ClientRectOnScreen(HWND hwnd);
RECT WorkArea();

// Whole files, for inputs a test writes and outputs it checks; unreadable: empty.
std::vector<BYTE> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes);
std::vector<BYTE> Utf16WithMark(const std::wstring& text);  // UTF-16 LE after the byte-order mark

// An environment variable for the programs a test starts (they inherit the test's environment),
// restored when the test ends. Under Wine, TZ sets the time zone. LC_ALL set here does not change a
// started program's locale: Wine takes that from the Unix locale of the process that starts it.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::wstring name_;
    std::wstring old_;
    bool had_ = false;
};

// While it lives, addresses that programs open through the shell with the schemes http and https
// are recorded instead of reaching a browser: the schemes' open command becomes cmd's echo. Wine
// reads classes from the machine's key only, so that key is changed and restored afterwards.
class UrlRecorder {
  public:
    UrlRecorder();
    ~UrlRecorder();
    UrlRecorder(const UrlRecorder&) = delete;
    UrlRecorder& operator=(const UrlRecorder&) = delete;

    // The addresses opened so far, one per line, in order.
    std::vector<std::wstring> Urls() const;
    bool WaitForUrls(size_t count, DWORD timeoutMs) const;
    // Once the opening program's thread has been drained, every address it opened is in the list
    // when the commands that write them (cmd.exe) have ended.
    bool WaitForOpenCommands(DWORD timeoutMs) const;

  private:
    std::wstring file_;
    std::wstring savedCommands_[2];
    bool hadCommand_[2] = {};
};

// Every end-to-end test starts from a clean state: no Huepeek running, no settings, empty clipboard.
class E2eTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace e2e

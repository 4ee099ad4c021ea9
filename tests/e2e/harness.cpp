#include "harness.h"

#include <tlhelp32.h>

#include "files.h"

namespace e2e {

namespace {

wchar_t const kSettingsKey[] = L"Software\\Vantorel\\Huepeek";
wchar_t const kProgramKey[] = L"Software\\Vantorel\\Huepeek\\Program";

void SendInputs(INPUT* inputs, UINT count) {
    SendInput(count, inputs, sizeof(INPUT));
}

void MouseEvent(DWORD flags, DWORD data = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInputs(&input, 1);
}

struct FindData {
    const wchar_t* className;
    const wchar_t* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindWindowProc(HWND hwnd, LPARAM lParam) {
    FindData* const data = reinterpret_cast<FindData*>(lParam);
    if (!IsWindowVisible(hwnd)) return TRUE;
    wchar_t className[256] = {};
    GetClassNameW(hwnd, className, 256);
    if (lstrcmpW(className, data->className) != 0) return TRUE;
    if (data->title && WindowText(hwnd) != data->title) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (data->processId && pid != data->processId) return TRUE;
    data->found = hwnd;
    return FALSE;
}

// The program gets NUL as its standard handles: under Wine it would otherwise keep the test's output
// pipe open, and ctest would wait for it after the test has ended.
bool StartWithoutOutput(const wchar_t* exe, std::wstring commandLine, DWORD flags, const wchar_t* directory,
                        PROCESS_INFORMATION* info, const wchar_t* desktop = nullptr) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE const nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    startup.lpDesktop = const_cast<wchar_t*>(desktop);
    BOOL const started = CreateProcessW(exe, &commandLine[0], nullptr, nullptr, TRUE, flags, nullptr,
                                        directory, &startup, info);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    return started != FALSE;
}

}  // namespace

std::wstring TestProgramDir() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

std::wstring HuepeekPath() {
    return TestProgramDir() + L"\\huepeek.exe";
}

std::wstring FixturePath(const wchar_t* name) {
    return TestProgramDir() + L"\\..\\fixtures\\" + name;
}

Process::~Process() {
    Kill();
    if (job_) CloseHandle(job_);
}

bool Process::Start(const std::wstring& exe, const std::wstring& arguments, const wchar_t* directory,
                    const wchar_t* desktop) {
    // Starting again ends what the last start left (its job ends its processes when closed).
    Kill();
    if (job_) CloseHandle(job_);
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    PROCESS_INFORMATION info = {};
    bool const started =
        StartWithoutOutput(exe.c_str(), commandLine, CREATE_SUSPENDED, directory, &info, desktop);
    if (!started) return false;
    if (job_) AssignProcessToJobObject(job_, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
}

bool StartThroughWineLoader(const std::wstring& exe, const std::wstring& arguments) {
    PROCESS_INFORMATION info = {};
    if (!StartWithoutOutput(L"Z:\\usr\\bin\\wine", L"wine \"" + exe + L"\" " + arguments, 0, nullptr, &info))
        return false;
    // A program of the host system has no handles to wait on; the caller finds the program by its
    // windows and attaches to it.
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
}

bool Xdotool(const std::wstring& arguments) {
    PROCESS_INFORMATION info = {};
    if (!StartWithoutOutput(L"Z:\\usr\\bin\\xdotool", L"xdotool " + arguments, 0, nullptr, &info))
        return false;
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
}

std::string UnixPath(const std::wstring& path) {
    using UnixFileNameFn = char*(CDECL*)(const wchar_t*);
    auto const unixFileName = reinterpret_cast<UnixFileNameFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName) return "";
    char* const name = unixFileName(path.c_str());
    if (!name) return "";
    std::string const result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool RunLinuxCommand(const std::string& command, DWORD* exitCode) {
    // Wine starts a Linux program from CreateProcess but gives no handle to wait on: the shell
    // leaves its status in a file instead, written whole by a rename.
    std::wstring const status = TempFolder() + L"huepeek-linux-status";
    DeleteFileW(status.c_str());
    std::string const statusPath = UnixPath(status);
    if (statusPath.empty()) return false;
    std::string const script =
        command + "; echo $? >'" + statusPath + ".part' && mv '" + statusPath + ".part' '" + statusPath + "'";
    std::wstring commandLine = L"sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    if (!WaitUntil([&] { return GetFileAttributesW(status.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
        return false;
    if (exitCode) *exitCode = DWORD(atoi(FileBytes(status).c_str()));
    DeleteFileW(status.c_str());
    return true;
}

bool Process::Attach(DWORD processId) {
    Kill();
    process_ =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    id_ = process_ ? processId : 0;
    return process_ != nullptr;
}

DWORD Process::StartedProcesses() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!job_ || !QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &accounting,
                                            sizeof(accounting), nullptr))
        return 0;
    return accounting.TotalProcesses;
}

bool Process::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

bool Process::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

bool StartHuepeek(Process& process, const std::wstring& arguments) {
    return process.Start(HuepeekPath(), arguments);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD const start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

bool DrainMessages(HWND window) {
    // A message sent from another thread is handled at the thread's next look at its queue, before
    // the posted and input messages waiting there: the first round trip shows that the thread is
    // back in its message loop, each further one that it came back again after taking what waited
    // (and what that posted in turn).
    int const kRoundTrips = 3;
    for (int trip = 0; trip < kRoundTrips; ++trip) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDrainTimeoutMs, &answer))
            return false;
    }
    return true;
}

bool Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kDrainTimeoutMs, &answer) !=
           0;
}

HWND HostWindowOf(DWORD processId) {
    for (HWND window = FindWindowExW(nullptr, nullptr, L"Huepeek", L"Huepeek"); window;
         window = FindWindowExW(nullptr, window, L"Huepeek", L"Huepeek")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

HWND FindTopWindow(const wchar_t* className, const wchar_t* title, DWORD processId) {
    FindData data = {className, title, processId, nullptr};
    EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title, processId)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForNoWindow(const wchar_t* className, DWORD processId, DWORD timeoutMs) {
    return WaitUntil([&] { return FindTopWindow(className, nullptr, processId) == nullptr; }, timeoutMs);
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[1024] = {};
    // WM_GETTEXT reaches windows of other processes too (GetWindowTextW does not read their controls).
    SendMessageTimeoutW(hwnd, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return text;
}

namespace {

// The program under the pointer has taken in a move or a wheel notch (and the X focus, which
// follows the pointer when there is no window manager) once the X server has handled the move and
// the program's thread has been round its loop since. A move it took in late would put the cursor
// back where that move went.
void DrainWindowUnderPointer() {
    // Reading a screen pixel waits for the X server's answer, which comes after the move.
    HDC const screen = GetDC(nullptr);
    GetPixel(screen, 0, 0);
    ReleaseDC(nullptr, screen);
    HWND const under = WindowFromPoint(CursorPos());
    DWORD owner = 0;
    if (under && under != GetDesktopWindow() && GetWindowThreadProcessId(under, &owner) &&
        owner != GetCurrentProcessId())
        DrainMessages(under);
}

}  // namespace

void MoveCursor(int x, int y) {
    SetCursorPos(x, y);
    DrainWindowUnderPointer();
}

bool NudgeCursor(POINT at, int dx, int dy) {
    // Moved by the X server, not by SetCursorPos: Wine warps the X pointer only when its own record
    // of the cursor changes, and a window that appeared under the resting pointer takes in its
    // crossing event, which carries the resting point, whenever its thread comes round to it. Taken
    // in after the move aside, it sets the record back to the resting point; SetCursorPos back there
    // then changes nothing and leaves the pointer aside for good, where the window rightly follows
    // it. xdotool moves the pointer whatever that record says, and the window takes in both moves
    // after its crossing event, in order. By relative moves: the X server counts in pixels of the
    // screen, whatever the display scale and wherever the monitors lie.
    std::string const aside = std::to_string(dx) + " " + std::to_string(dy);
    std::string const back = std::to_string(-dx) + " " + std::to_string(-dy);
    std::string const moves =
        "xdotool mousemove_relative --sync -- " + aside + " mousemove_relative --sync -- " + back;
    DWORD code = 1;
    if (!RunLinuxCommand(moves, &code) || code != 0) return false;
    DrainWindowUnderPointer();
    return WaitUntil(
        [&] {
            POINT const now = CursorPos();
            return now.x == at.x && now.y == at.y;
        },
        kStartTimeoutMs);
}

POINT CursorPos() {
    POINT point = {};
    GetCursorPos(&point);
    return point;
}

void Click(bool right) {
    MouseEvent(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    // Held as a hand holds a button.
    Sleep(50);
    MouseEvent(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void Wheel(int notches) {
    int const step = notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA;
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i) {
        MouseEvent(MOUSEEVENTF_WHEEL, DWORD(step));
        DrainWindowUnderPointer();
    }
}

void SendKeyEvent(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = WORD(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInputs(&input, 1);
}

void PressKey(WORD virtualKey, DWORD holdMs) {
    SendKeyEvent(virtualKey, false);
    // Held long enough for a 20 ms poll of GetAsyncKeyState to see it.
    Sleep(holdMs);
    SendKeyEvent(virtualKey, true);
}

bool HoldKeyUntil(WORD virtualKey, const std::function<bool()>& condition, DWORD timeoutMs) {
    // About a keyboard's repeat rate.
    DWORD const kRepeatMs = 50;
    DWORD const start = GetTickCount();
    bool met = false;
    while (!met && GetTickCount() - start < timeoutMs) {
        SendKeyEvent(virtualKey, false);
        met = WaitUntil(condition, kRepeatMs);
    }
    SendKeyEvent(virtualKey, true);
    return met;
}

bool ReadClipboardText(std::wstring* text) {
    text->clear();
    bool ok = false;
    // Another program may hold it for a moment.
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1000)) return false;
    if (HANDLE const data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* const chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            *text = chars;
            GlobalUnlock(data);
            ok = true;
        }
    }
    CloseClipboard();
    return ok;
}

bool WriteClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    size_t const bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL const memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (memory) {
        CopyMemory(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    CloseClipboard();
    return ok;
}

bool ClearClipboard() {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}

void ResetSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

bool WriteSettingValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr))
        return false;
    LONG const status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool WriteSetting(const wchar_t* name, const std::wstring& text) {
    return WriteSettingValue(name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
}

bool ReadSetting(const wchar_t* name, std::wstring* text) {
    wchar_t data[1024] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_ANY, &type, data, &bytes) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ) return false;
    *text = data;
    return true;
}

bool SettingExists(const wchar_t* name) {
    return RegGetValueW(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

namespace {

template <typename Action>
int ForEachProcess(const wchar_t* exeName, Action action) {
    HANDLE const snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, exeName) != 0) continue;
        ++count;
        action(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace

int CountProcesses(const wchar_t* exeName) {
    return ForEachProcess(exeName, [](DWORD) {});
}

void KillProcesses(const wchar_t* exeName) {
    ForEachProcess(exeName, [](DWORD id) {
        if (HANDLE const process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
            TerminateProcess(process, 0xDEAD);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    });
}

std::wstring ClassNameOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, ARRAYSIZE(name));
    return name;
}

std::vector<HWND> ChildWindows(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        std::vector<HWND> found;
    } search = {className, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lParam) {
            Search* const s = reinterpret_cast<Search*>(lParam);
            if (!s->className || lstrcmpiW(ClassNameOf(child).c_str(), s->className) == 0)
                s->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool SetTextOf(HWND hwnd, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               2000, &result) != 0 &&
           result != 0;
}

bool ClickButton(HWND button) {
    return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

RECT ClientRectOnScreen(HWND hwnd) {
    RECT rect = {};
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WorkArea() {
    RECT rect = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0);
    return rect;
}

std::vector<BYTE> ReadFileBytes(const std::wstring& path) {
    std::vector<BYTE> bytes;
    HANDLE const file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    BYTE block[4096];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), block, block + got);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes) {
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

std::vector<BYTE> Utf16WithMark(const std::wstring& text) {
    std::vector<BYTE> bytes = {0xFF, 0xFE};
    for (wchar_t c : text) {
        bytes.push_back(BYTE(c & 0xFF));
        bytes.push_back(BYTE(c >> 8));
    }
    return bytes;
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
    wchar_t old[1024] = {};
    DWORD const length = GetEnvironmentVariableW(name, old, ARRAYSIZE(old));
    had_ = length > 0 && length < ARRAYSIZE(old);
    if (had_) old_ = old;
    SetEnvironmentVariableW(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr);
}

namespace {

const wchar_t* const kRecordedSchemes[] = {L"http", L"https"};

std::wstring OpenCommandKey(const wchar_t* scheme) {
    return std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
}

bool SetDefaultValue(const std::wstring& key, const std::wstring& value) {
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(),
                           DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

UrlRecorder::UrlRecorder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    file_ = std::wstring(temp) + L"huepeek-opened-urls.txt";
    DeleteFileW(file_.c_str());
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    // ">>" appends, so every address opened is kept; no blank before it, or echo writes one too.
    // Quoted, so that a "&" in an address stays in it instead of ending cmd's command.
    std::wstring const command =
        L"\"" + std::wstring(system) + L"\\cmd.exe\" /c echo \"%1\">>\"" + file_ + L"\"";
    for (int i = 0; i < 2; ++i) {
        std::wstring const key = OpenCommandKey(kRecordedSchemes[i]);
        wchar_t old[1024] = {};
        DWORD bytes = sizeof(old) - sizeof(wchar_t);
        hadCommand_[i] = RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, old,
                                      &bytes) == ERROR_SUCCESS;
        if (hadCommand_[i]) savedCommands_[i] = old;
        SetDefaultValue(key, command);
    }
}

UrlRecorder::~UrlRecorder() {
    for (int i = 0; i < 2; ++i) {
        std::wstring const key = OpenCommandKey(kRecordedSchemes[i]);
        if (hadCommand_[i])
            SetDefaultValue(key, savedCommands_[i]);
        else
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr);
    }
    DeleteFileW(file_.c_str());
}

std::vector<std::wstring> UrlRecorder::Urls() const {
    std::vector<std::wstring> urls;
    HANDLE const file = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return urls;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], DWORD(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    // cmd writes in the console code page; addresses are ASCII. Only complete lines count.
    std::wstring line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == L'\r') line.pop_back();
            while (!line.empty() && line.back() == L' ') line.pop_back();
            if (line.size() >= 2 && line.front() == L'"' && line.back() == L'"')
                line = line.substr(1, line.size() - 2);
            if (!line.empty()) urls.push_back(line);
            line.clear();
        } else {
            line += wchar_t(static_cast<unsigned char>(c));
        }
    }
    return urls;
}

bool UrlRecorder::WaitForUrls(size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Urls().size() >= count; }, timeoutMs);
}

bool UrlRecorder::WaitForOpenCommands(DWORD timeoutMs) const {
    return WaitUntil([] { return CountProcesses(L"cmd.exe") == 0; }, timeoutMs);
}

void E2eTest::SetUp() {
    KillProcesses(L"huepeek.exe");
    ResetSettings();
    ClearClipboard();
    // Esc may still be seen as down by the next program if a key-up got lost.
    SendKeyEvent(VK_ESCAPE, true);
}

void E2eTest::TearDown() {
    KillProcesses(L"huepeek.exe");
}

}  // namespace e2e

// Times what a user waits for, against a floor program doing the least that the same step needs:
//   launch_bench start N EXE_A "ARGS_A" CLASS_A EXE_B "ARGS_B" CLASS_B
//       start to a visible top-level window of the class, A and B interleaved, N runs each
//   launch_bench tray N HUEPEEK FLOOR
//       the tray icon's left-button message to the magnifier (or the floor's popup) on screen; then
//       the same with the main dialog shown before each click
//   launch_bench hotkey N HUEPEEK FLOOR
//       the hot key (Win+Shift+C; the floor's Win+Shift+V) pressed to the magnifier on screen
//   launch_bench open-picker | close-picker | open-floor | close-floor
//       opens the picker of the running program (or the floor's popup) as a tray click does, or
//       hides it (F1)
// Prints medians in milliseconds and the ratio to the floor.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

UINT const kTrayCallback = WM_APP + 100;
wchar_t const kPickerClass[] = L"RealTimeMagnifier1_____5";

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t const n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Find {
    const wchar_t* className;
    DWORD processId;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    Find* const find = reinterpret_cast<Find*>(lParam);
    if (find->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    wchar_t name[256];
    GetClassNameW(hwnd, name, 256);
    if (lstrcmpW(name, find->className) != 0) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (find->processId && pid != find->processId) return TRUE;
    find->found = hwnd;
    return FALSE;
}

HWND FindWindowOf(const wchar_t* className, DWORD processId, bool visibleOnly) {
    Find find = {className, processId, visibleOnly, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// Waits, without sleeping, until the condition holds; false after timeoutMs.
template <typename Condition>
bool Spin(Condition condition, double timeoutMs) {
    double const start = Now();
    while (!condition()) {
        if (Now() - start > timeoutMs) return false;
        SwitchToThread();
    }
    return true;
}

struct Started {
    HANDLE process = nullptr;
    DWORD id = 0;
};

Started Launch(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    Started started;
    if (CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
        CloseHandle(info.hThread);
        started = {info.hProcess, info.dwProcessId};
    }
    return started;
}

void End(Started& started) {
    if (!started.process) return;
    TerminateProcess(started.process, 0);
    WaitForSingleObject(started.process, 5000);
    CloseHandle(started.process);
    started = {};
}

// One start: from CreateProcess to the window on screen; -1 when it never came.
double TimeStart(const std::wstring& exe, const std::wstring& arguments, const wchar_t* className) {
    double const start = Now();
    Started started = Launch(exe, arguments);
    if (!started.process) return -1;
    bool const shown = Spin([&] { return FindWindowOf(className, started.id, true) != nullptr; }, 10000);
    double const elapsed = Now() - start;
    End(started);
    // Let the system settle (the mutex, the tray) before the next start.
    Sleep(300);
    return shown ? elapsed : -1;
}

void Report(const char* what, const std::vector<double>& a, const std::vector<double>& b) {
    double const ma = Median(a), mb = Median(b);
    std::printf("%-44s %8.1f ms   floor %8.1f ms   ratio %.2f   (median of %zu, range %.1f-%.1f)\n", what, ma,
                mb, mb > 0 ? ma / mb : 0.0, a.size(), a.empty() ? 0 : *std::min_element(a.begin(), a.end()),
                a.empty() ? 0 : *std::max_element(a.begin(), a.end()));
}

int StartCommand(int runs, wchar_t** argv) {
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        double const ta = TimeStart(argv[0], argv[1], argv[2]);
        double const tb = TimeStart(argv[3], argv[4], argv[5]);
        if (ta >= 0) a.push_back(ta);
        if (tb >= 0) b.push_back(tb);
    }
    char label[128];
    std::snprintf(label, sizeof(label), "Start to %ls visible", argv[2]);
    Report(label, a, b);
    return a.empty() || b.empty() ? 1 : 0;
}

// The host windows of the two resident programs, and the popup each shows on the tray message.
struct Resident {
    Started started;
    const wchar_t* hostClass;
    const wchar_t* popupClass;
    HWND host = nullptr;
};

void PressHotKey(WORD key) {
    INPUT keys[6] = {};
    WORD const order[3] = {VK_LWIN, VK_SHIFT, key};
    for (int i = 0; i < 3; ++i) {
        keys[i].type = keys[5 - i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = keys[5 - i].ki.wVk = order[i];
        keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, keys, sizeof(INPUT));
}

// What opens the popup: the tray icon's left button, or the hot key.
enum class Opening { kTrayClick, kHotKey };

double TimeTrayClick(Resident& resident, Opening opening = Opening::kTrayClick, WORD hotKey = 0) {
    double const start = Now();
    if (opening == Opening::kHotKey)
        PressHotKey(hotKey);
    else
        PostMessageW(resident.host, kTrayCallback, 107, WM_LBUTTONDOWN);
    HWND popup = nullptr;
    bool const shown = Spin(
        [&] { return (popup = FindWindowOf(resident.popupClass, resident.started.id, true)) != nullptr; },
        5000);
    double const elapsed = Now() - start;
    if (popup) PostMessageW(popup, WM_KEYDOWN, VK_F1, 0);
    Spin([&] { return !FindWindowOf(resident.popupClass, resident.started.id, true); }, 5000);
    Sleep(200);
    return shown ? elapsed : -1;
}

// The same click with the main dialog shown first (a right click on the icon shows it): the picker
// hides the dialog and waits until the screen beneath it is repainted before its snapshot.
double TimeTrayClickOverDialog(Resident& resident) {
    PostMessageW(resident.host, kTrayCallback, 107, WM_RBUTTONDOWN);
    if (!Spin([&] { return FindWindowOf(L"#32770", resident.started.id, true) != nullptr; }, 5000)) return -1;
    Sleep(300);  // painted, and the screen at rest
    return TimeTrayClick(resident);
}

void StartResidents(Resident& program, Resident& resident) {
    for (Resident* r : {&program, &resident})
        Spin([&] { return (r->host = FindWindowOf(r->hostClass, r->started.id, false)) != nullptr; }, 10000);
    Sleep(1000);
}

int TrayCommand(int runs, const wchar_t* huepeek, const wchar_t* floor) {
    Resident program = {Launch(huepeek, L"-bg"), L"Huepeek", kPickerClass};
    Resident resident = {Launch(floor, L""), L"HuepeekFloorHost", L"HuepeekFloorPopup"};
    StartResidents(program, resident);
    std::vector<double> a, b;
    for (int i = 0; i < runs && program.host && resident.host; ++i) {
        double const ta = TimeTrayClick(program);
        double const tb = TimeTrayClick(resident);
        if (ta >= 0) a.push_back(ta);
        if (tb >= 0) b.push_back(tb);
    }
    Report("Tray click to the magnifier on screen", a, b);
    std::vector<double> c, d;
    for (int i = 0; i < runs && program.host && resident.host; ++i) {
        double const tc = TimeTrayClickOverDialog(program);
        double const td = TimeTrayClick(resident);
        if (tc >= 0) c.push_back(tc);
        if (td >= 0) d.push_back(td);
    }
    Report("The same, the main dialog shown", c, d);
    End(program.started);
    End(resident.started);
    return a.empty() || b.empty() || c.empty() ? 1 : 0;
}

int HotKeyCommand(int runs, const wchar_t* huepeek, const wchar_t* floor) {
    Resident program = {Launch(huepeek, L"-bg"), L"Huepeek", kPickerClass};
    Resident resident = {Launch(floor, L""), L"HuepeekFloorHost", L"HuepeekFloorPopup"};
    StartResidents(program, resident);
    std::vector<double> a, b;
    for (int i = 0; i < runs && program.host && resident.host; ++i) {
        double const ta = TimeTrayClick(program, Opening::kHotKey, 'C');
        double const tb = TimeTrayClick(resident, Opening::kHotKey, 'V');
        if (ta >= 0) a.push_back(ta);
        if (tb >= 0) b.push_back(tb);
    }
    Report("Hot key to the magnifier on screen", a, b);
    End(program.started);
    End(resident.started);
    return a.empty() || b.empty() ? 1 : 0;
}

// Opens or hides the popup of a running resident program: its host window's class and title, and
// the popup's class.
int PopupCommand(const wchar_t* hostClass, const wchar_t* hostTitle, const wchar_t* popupClass, bool open) {
    HWND const host = FindWindowW(hostClass, hostTitle);
    if (!host) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(host, &pid);
    if (open) {
        PostMessageW(host, kTrayCallback, 107, WM_LBUTTONDOWN);
        return Spin([&] { return FindWindowOf(popupClass, pid, true) != nullptr; }, 5000) ? 0 : 1;
    }
    HWND const popup = FindWindowOf(popupClass, pid, true);
    if (popup) PostMessageW(popup, WM_KEYDOWN, VK_F1, 0);
    return Spin([&] { return !FindWindowOf(popupClass, pid, true); }, 5000) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring const command = argc > 1 ? argv[1] : L"";
    if (command == L"start" && argc == 9) return StartCommand(_wtoi(argv[2]), argv + 3);
    if (command == L"tray" && argc == 5) return TrayCommand(_wtoi(argv[2]), argv[3], argv[4]);
    if (command == L"hotkey" && argc == 5) return HotKeyCommand(_wtoi(argv[2]), argv[3], argv[4]);
    bool const open = command.compare(0, 5, L"open-") == 0;
    if (command == L"open-picker" || command == L"close-picker")
        return PopupCommand(L"Huepeek", L"Huepeek", kPickerClass, open);
    if (command == L"open-floor" || command == L"close-floor")
        return PopupCommand(L"HuepeekFloorHost", L"HuepeekFloor", L"HuepeekFloorPopup", open);
    std::fprintf(stderr, "usage: see the top of launch_bench.cpp\n");
    return 2;
}

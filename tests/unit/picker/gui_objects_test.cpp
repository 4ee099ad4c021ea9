// The picker and the colour dialog, opened and closed a thousand times in this process through the
// program's own code, leave as many GDI and USER objects as there were before: nothing they make
// is left behind.
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

#include "base/process_state.h"
#include "picker/palette_dialog.h"
#include "picker/picker_window.h"

namespace {

// Each cycle takes the screen and makes a dialog, some 50 to 300 ms under Wine: the suite runs
// a few, enough to show a loss in every cycle; HUEPEEK_GUI_CYCLES=1000 runs a thousand by hand.
int Cycles() {
    wchar_t text[16] = {};
    GetEnvironmentVariableW(L"HUEPEEK_GUI_CYCLES", text, 16);
    int const asked = _wtoi(text);
    return asked > 0 ? asked : 5;
}

// One entry of the GDI handle table as the process environment block shows it.
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;  // 0: a free entry
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entry on 64-bit Windows");
int const kGdiTableEntries = 0x10000;

// Windows counts a process's GDI and USER objects for GetGuiResources. Wine answers 0 there (it
// does not implement it), but keeps the process's GDI handle table where Windows does, at offset
// 0xF8 of the process environment block; an icon's colour and mask are GDI bitmaps in that table,
// so a lost icon shows there too. Wine's USER objects here are windows: they are counted instead.
DWORD GdiObjects() {
    DWORD const counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted) return counted;
    using QueryFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    auto const query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0)
        return 0;
    auto const* const peb = reinterpret_cast<const uint8_t*>(basic.PebBaseAddress);
    auto const* const table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
    if (!table) return 0;
    DWORD used = 0;
    for (int i = 0; i < kGdiTableEntries; ++i) used += table[i].type != 0;
    return used;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

DWORD UserObjects() {
    DWORD const counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (counted) return counted;
    DWORD windows = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The owner of the colour dialog: once the dialog has nothing more to do (created, laid out and
// painted), the dialog tells its owner, which closes it as Cancel does.
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX)
        PostMessageW(reinterpret_cast<HWND>(lParam), WM_COMMAND, IDCANCEL, 0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void OpenAndClosePicker(Picker* picker) {
    picker->Open();
    UpdateWindow(picker->hwnd);  // the paint, with the frame's pens, now
    picker->Hide();
}

void OpenAndCloseColourDialog(HWND owner) {
    RunPaletteDialog(RGB(51, 102, 204), owner);
}

TEST(GuiObjects, PickerAndColourDialogLeaveNoneBehind) {
    g_instance = GetModuleHandleW(nullptr);
    SetCursorPos(640, 400);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = g_instance;
    wc.lpszClassName = L"HuepeekColourDialogOwner";
    RegisterClassW(&wc);
    HWND const owner = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       g_instance, nullptr);
    ASSERT_NE(nullptr, owner);
    Picker picker;
    // Twice each first: the system keeps what it makes on first use (classes, caches, libraries),
    // and the colour dialog of Wine three GDI objects more on its second.
    for (int i = 0; i < 2; ++i) {
        OpenAndClosePicker(&picker);
        OpenAndCloseColourDialog(owner);
    }
    ASSERT_TRUE(IsWindow(picker.hwnd));
    ASSERT_NE(0u, GdiObjects()) << "no count of GDI objects";

    int const cycles = Cycles();
    DWORD const gdiBefore = GdiObjects();
    DWORD const userBefore = UserObjects();
    for (int i = 0; i < cycles; ++i) OpenAndClosePicker(&picker);
    EXPECT_EQ(gdiBefore, GdiObjects()) << "GDI objects left by " << cycles << " pickers";
    EXPECT_EQ(userBefore, UserObjects()) << "USER objects left by " << cycles << " pickers";

    for (int i = 0; i < cycles; ++i) OpenAndCloseColourDialog(owner);
    EXPECT_EQ(gdiBefore, GdiObjects()) << "GDI objects left by " << cycles << " colour dialogs";
    EXPECT_EQ(userBefore, UserObjects()) << "USER objects left by " << cycles << " colour dialogs";
    DestroyWindow(owner);
}

}  // namespace

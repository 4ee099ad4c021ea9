// The picker and the colour dialog, opened and closed again and again in this process through the
// program's own code, leave as many GDI and USER objects of each kind as there were before: nothing
// they make is left behind.
#include <windows.h>
#include <commdlg.h>
#include <winternl.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "base/process_state.h"
#include "base/system_library.h"
#include "picker/palette_dialog.h"
#include "picker/picker_window.h"

namespace {

// Each cycle takes the screen or makes and paints a dialog, some 50 to 300 ms under Wine: the suite
// runs a few, enough to show a loss in every cycle; HUEPEEK_GUI_CYCLES=1000 runs a thousand by hand.
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
    uint16_t unique;  // the handle's upper half; its low 7 bits are the object's kind
    uint8_t type;     // 0: a free entry
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entry on 64-bit Windows");
int const kGdiTableEntries = 0x10000;

// Objects by kind: GetObjectType's OBJ_ value, or kTableKind plus the table's own kind for objects
// that GetObjectType does not name (Wine keeps such an object beside each device context).
using GdiCensus = std::map<int, long>;
int const kAllKinds = 0;  // Windows' own count, which does not tell kinds apart
int const kTableKind = 100;

const GdiHandleEntry* GdiTable() {
    using QueryFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    auto const query = GetProcedure<QueryFn>(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0)
        return nullptr;
    auto const* const peb = reinterpret_cast<const uint8_t*>(basic.PebBaseAddress);
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + 0xF8);
}

// Windows counts a process's GDI objects for GetGuiResources. Wine answers 0 there (it does not
// implement it), but keeps the process's GDI handle table where Windows does, at offset 0xF8 of the
// process environment block, and makes each handle of an entry's index and its unique number: so
// each object's kind can be asked of GetObjectType. An icon's colour and mask are bitmaps there.
GdiCensus TakeGdiCensus() {
    GdiCensus census;
    if (DWORD const counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) {
        census[kAllKinds] = long(counted);
        return census;
    }
    const GdiHandleEntry* const table = GdiTable();
    if (!table) return census;
    for (int i = 0; i < kGdiTableEntries; ++i) {
        if (!table[i].type) continue;
        auto const handle = reinterpret_cast<HGDIOBJ>(uintptr_t(i) | uintptr_t(table[i].unique) << 16);
        int const kind = int(GetObjectType(handle));
        ++census[kind ? kind : kTableKind + (table[i].unique & 0x7F)];
    }
    return census;
}

std::string KindName(int kind) {
    static const char* const kNames[] = {"GDI object",
                                         "pen",
                                         "brush",
                                         "DC",
                                         "metafile DC",
                                         "palette",
                                         "font",
                                         "bitmap",
                                         "region",
                                         "metafile",
                                         "memory DC",
                                         "extended pen",
                                         "enhanced metafile DC",
                                         "enhanced metafile"};
    if (kind >= 0 && kind < int(ARRAYSIZE(kNames))) return kNames[kind];
    return "object of the table's kind " + std::to_string(kind - kTableKind);
}

// What changed from one census to the next, kind by kind: "+2 brush, -1 font", or "nothing".
std::string Change(const GdiCensus& before, const GdiCensus& after) {
    GdiCensus change = after;
    for (const auto& [kind, count] : before) change[kind] -= count;
    std::string text;
    for (const auto& [kind, count] : change) {
        if (!count) continue;
        if (!text.empty()) text += ", ";
        text += (count > 0 ? "+" : "") + std::to_string(count) + " " + KindName(kind);
    }
    return text.empty() ? "nothing" : text;
}

long Total(const GdiCensus& census) {
    long total = 0;
    for (const auto& [kind, count] : census) total += count;
    return total;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// Wine's USER objects here are windows: they are counted where GetGuiResources has no answer.
DWORD UserObjects() {
    DWORD const counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (counted) return counted;
    DWORD windows = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The owner of the colour dialog. Once the dialog has nothing more to do (created, laid out, shown),
// the dialog tells its owner, which has it and every control in it painted now and then closes it
// as Cancel does. Painted in every cycle, not only when the X server happens to ask for it before
// the close: Wine hands each window that paints a device context of its own from a cache of up to
// 64, made on first need (a DC, a region and one object of Wine's own kind each) and kept for the
// next windows once these are gone. A dialog first painted while the count is measured grows the
// table by about 150 objects at once (46 DCs for the system's dialog alone, 4 for the info box and
// the web button), which is a cache filling, not a loss: the system's dialog without a hook does the
// same, and later dialogs reuse them.
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        HWND const dialog = reinterpret_cast<HWND>(lParam);
        RedrawWindow(dialog, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

COLORREF const kDialogColour = RGB(51, 102, 204);

void OpenAndClosePicker(Picker* picker) {
    picker->Open();
    UpdateWindow(picker->hwnd);  // the paint, with the frame's pens, now
    picker->Hide();
}

void OpenAndCloseColourDialog(HWND owner) {
    RunPaletteDialog(kDialogColour, owner);
}

// The system's colour dialog as the program opens it, without the program's hook.
void OpenAndCloseSystemColourDialog(HWND owner) {
    COLORREF custom[16] = {};
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.rgbResult = kDialogColour;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    using ChooseColorFn = BOOL(WINAPI*)(CHOOSECOLORW*);
    if (auto const chooseColor =
            GetProcedure<ChooseColorFn>(LoadSideBySideLibrary(L"comdlg32.dll"), "ChooseColorW"))
        chooseColor(&choose);
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
    ASSERT_NE(0, Total(TakeGdiCensus())) << "no count of GDI objects";

    int const cycles = Cycles();
    GdiCensus const gdiBefore = TakeGdiCensus();
    DWORD const userBefore = UserObjects();
    for (int i = 0; i < cycles; ++i) OpenAndClosePicker(&picker);
    EXPECT_EQ("nothing", Change(gdiBefore, TakeGdiCensus()))
        << "GDI objects left by " << cycles << " pickers";
    EXPECT_EQ(userBefore, UserObjects()) << "USER objects left by " << cycles << " pickers";

    // The system's dialog alone, the same way: what it leaves is the system's, and the program's
    // dialog may leave that and nothing more.
    GdiCensus const systemBefore = TakeGdiCensus();
    for (int i = 0; i < cycles; ++i) OpenAndCloseSystemColourDialog(owner);
    std::string const systemLeft = Change(systemBefore, TakeGdiCensus());
    EXPECT_EQ(userBefore, UserObjects()) << "USER objects left by " << cycles << " system colour dialogs";

    GdiCensus const dialogBefore = TakeGdiCensus();
    for (int i = 0; i < cycles; ++i) OpenAndCloseColourDialog(owner);
    EXPECT_EQ(systemLeft, Change(dialogBefore, TakeGdiCensus()))
        << "GDI objects left by " << cycles << " colour dialogs, beyond what the system's own leaves ("
        << systemLeft << ")";
    EXPECT_EQ(userBefore, UserObjects()) << "USER objects left by " << cycles << " colour dialogs";
    DestroyWindow(owner);
}

}  // namespace

#include "app/startup.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/host_window.h"
#include "app/hot_key.h"
#include "app/main_dialog.h"
#include "base/core/command_line.h"
#include "base/display_scale.h"
#include "base/process_state.h"
#include "base/system_library.h"
#include "base/wide_text.h"
#include "lang/string_table.h"
#include "picker/palette_dialog.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "theme/dark_mode.h"

namespace {

int const kExitSecondInstance = 1;
int const kExitPalette = 1;

BOOL CALLBACK AskWindowToShowItself(HWND hwnd, LPARAM found) {
    DWORD_PTR answer = 0;
    LRESULT const sent =
        SendMessageTimeoutW(hwnd, g_instanceMessage, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 10000, &answer);
    if (sent && answer == g_instanceMessage) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// True when another instance runs in this logon session; it has then been asked to show itself.
bool HandOverToRunningInstance() {
    // Never closed: the system releases it when the process ends.
    CreateMutexW(nullptr, FALSE, L"Huepeek");
    DWORD const error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return false;
    HWND found = nullptr;
    EnumWindows(AskWindowToShowItself, reinterpret_cast<LPARAM>(&found));
    return true;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (HandleMainDialogKey(msg)) continue;
        if (g_mainDialog.dialog && IsDialogMessageW(g_mainDialog.dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}

}  // namespace

void InitializeCommonControls() {
    HMODULE const comctl32 = LoadSideBySideLibrary(L"comctl32.dll");
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    using InitCommonControlsFn = void(WINAPI*)();
    // ICC_WIN95_CLASSES, ICC_DATE_CLASSES and ICC_COOL_CLASSES.
    INITCOMMONCONTROLSEX const icc = {8, 0x5FF};
    if (auto const initEx = GetProcedure<InitCommonControlsExFn>(comctl32, "InitCommonControlsEx"))
        initEx(&icc);
    if (auto const init = GetProcedure<InitCommonControlsFn>(comctl32, "InitCommonControls")) init();
}

int RunHuepeek(HINSTANCE instance, const wchar_t* commandLine) {
    g_instance = instance;

    InitializeCommonControls();

    // "hide" is recognised but, as ever, changes nothing.
    CommandLineFlags const flags = ParseCommandLine(Utf16(commandLine));

    LoadStringW(instance, IDS_PRODUCT_NAME, g_productName, kTitleChars);
    RegisterHostWindowClass(instance);

    ChooseSettingsBackEnd();
    ReadStartSettings(&g_startSettings);
    g_language.Use(g_startSettings.language);
    if (!LoadLanguageArchive()) return 0;

    // Dark mode needs a DPI-aware process; "disable_dark_theme" keeps every window light.
    if (MakeProcessDpiAware()) StartDarkMode(instance, g_startSettings.disableDarkTheme);

    if (flags.palette) {
        RunPaletteDialog(g_startSettings.lastColour, nullptr);
        return kExitPalette;
    }
    g_picker.endsRun = flags.directPicker;

    if (HandOverToRunningInstance()) return kExitSecondInstance;
    if (!CreateHostWindow(instance, flags.background)) return 0;
    int const exitCode = RunMessageLoop();
    ReleasePickerHotKey();
    return exitCode;
}

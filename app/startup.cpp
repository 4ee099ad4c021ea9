#include "app/startup.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/core/command_line.h"
#include "app/host_window.h"
#include "app/system_library.h"
#include "lang/string_table.h"
#include "picker/palette_dialog.h"
#include "picker/picker_window.h"
#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

int const kExitSecondInstance = 1;
int const kExitPalette = 1;

bool CallSetProcessDpiAware() {
    static HMODULE s_user32;
    if (!s_user32) s_user32 = LoadSystemLibrary(L"user32.dll");
    using SetProcessDPIAwareFn = BOOL(WINAPI*)();
    auto const setAware = GetProcedure<SetProcessDPIAwareFn>(s_user32, "SetProcessDPIAware");
    return setAware && setAware();
}

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
    PostQuitMessage(kExitDirectPicker);
    return true;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (g_mainDialog.dialog && IsDialogMessageW(g_mainDialog.dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}

}  // namespace

int RunHuepeek(HINSTANCE instance, const wchar_t* commandLine) {
    g_instance = instance;

    InitializeCommonControls();

    const char16_t* const words = reinterpret_cast<const char16_t*>(commandLine);
    CommandLineFlags const flags = ParseCommandLine(words);
    g_backgroundFlag = flags.background;
    g_hideFlag = flags.hide;

    LoadStringW(instance, IDS_PRODUCT_NAME, g_windowTitle, kTitleChars - 1);
    LoadStringW(instance, IDS_PRODUCT_NAME, g_windowClass, kTitleChars - 1);
    RegisterHostWindowClass(instance);

    ChooseLanguage();
    if (!LoadLanguageArchive()) return 0;

    g_disableDarkTheme = ReadProgramInt(L"disable_dark_theme", 0);
    CallSetProcessDpiAware();

    if (flags.palette) {
        g_currentColour = ReadLastColour(0);
        RunPaletteDialog(g_currentColour, nullptr);
        PostQuitMessage(0);
        return kExitPalette;
    }
    g_directPickerMode = flags.directPicker;

    if (HandOverToRunningInstance()) return kExitSecondInstance;
    if (!CreateHostWindow(instance)) return 0;
    return RunMessageLoop();
}

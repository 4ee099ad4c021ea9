// The language menu in this process, under the language button of a small window standing in for
// the main dialog; a user on a second thread reads the real popup menu and answers it by keyboard.
#include "lang/language_menu.h"

#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/system_library.h"
#include "translator_user.h"

namespace {

using namespace translator;

wchar_t const kStandInClass[] = L"HuepeekMainDialogStandIn";
int const kInfoButton = 2021;

int g_reapplied = 0;
HWND g_reappliedTo = nullptr;

void CountReapply(HWND dialog) {
    g_reapplied++;
    g_reappliedTo = dialog;
}

struct MenuSeen {
    std::vector<std::wstring> texts;
    std::vector<UINT> ids;
    std::vector<UINT> states;
    RECT window = {};
    bool buttonPressed = false;
};

std::wstring ReadSettingText(const wchar_t* name) {
    wchar_t text[64] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vantorel\\Huepeek\\Program", name, RRF_RT_REG_SZ, nullptr,
                     text, &bytes) != ERROR_SUCCESS)
        return L"<none>";
    return text;
}

class LanguageMenuTest : public TranslatorTest {
  protected:
    void SetUp() override {
        TranslatorTest::SetUp();
        using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        INITCOMMONCONTROLSEX const controls = {sizeof(controls), ICC_BAR_CLASSES};
        auto const init = GetProcedure<InitCommonControlsExFn>(LoadSideBySideLibrary(L"comctl32.dll"),
                                                               "InitCommonControlsEx");
        ASSERT_TRUE(init && init(&controls));
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kStandInClass;
        RegisterClassW(&wc);
        // Wide and at the top, so that the long menu fits below the button and the pointer can
        // rest on the window beside it.
        dialog_ = CreateWindowExW(0, kStandInClass, L"Huepeek 3.36", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0,
                                  1280, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER, 0, 0,
                                   0, 0, dialog_, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
        TBBUTTON buttons[2] = {};
        const wchar_t* const captions[2] = {L"Info", L"# LNG"};
        int const commands[2] = {kInfoButton, kLanguageButton};
        for (int i = 0; i < 2; i++) {
            buttons[i].iBitmap = I_IMAGENONE;
            buttons[i].idCommand = commands[i];
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
            buttons[i].iString = reinterpret_cast<INT_PTR>(captions[i]);
        }
        SendMessageW(toolbar_, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
        SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
        SetForegroundWindow(dialog_);
        UpdateWindow(dialog_);
        g_reapplied = 0;
        g_reappliedTo = nullptr;
    }

    void TearDown() override {
        DestroyWindow(dialog_);
        TranslatorTest::TearDown();
    }

    // The language button's bottom-left corner on the screen: where the menu must open.
    POINT ButtonCorner() const {
        RECT button = {};
        SendMessageW(toolbar_, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button));
        POINT corner = {button.left, button.bottom};
        ClientToScreen(toolbar_, &corner);
        return corner;
    }

    // Reads the open menu, rests the pointer on the window beside it and presses the keys; then
    // answer() takes over (the open dialog, the report) if given.
    bool UseMenu(const std::vector<WORD>& keys, MenuSeen* seen, const wchar_t* screenshot = nullptr) {
        HWND const window = e2e::WaitForWindow(L"#32768", nullptr, GetCurrentProcessId(), kDialogTimeoutMs);
        if (!window) return false;
        HMENU const menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); i++) {
            wchar_t text[256] = {};
            GetMenuStringW(menu, UINT(i), text, ARRAYSIZE(text), MF_BYPOSITION);
            seen->texts.push_back(text);
            seen->ids.push_back(GetMenuItemID(menu, i));
            seen->states.push_back(GetMenuState(menu, UINT(i), MF_BYPOSITION));
        }
        GetWindowRect(window, &seen->window);
        seen->buttonPressed = SendMessageW(toolbar_, TB_ISBUTTONPRESSED, kLanguageButton, 0) != 0;
        if (screenshot) SaveWindowPicture(window, screenshot);
        // Keys go to the window under the pointer; over the menu it would choose by hovering.
        e2e::MoveCursor(1260, 30);
        e2e::MoveCursor(1270, 10);
        for (WORD key : keys) e2e::PressKey(key, 60);
        return true;
    }

    // Runs the menu on this thread while user acts on the other. A user who is done leaves
    // nothing open; whatever still is (the menu, a dialog) fails the test and is closed, so that
    // the test ends.
    template <typename User>
    void RunMenu(User user) {
        std::atomic<bool> done{false};
        bool leftOpen = false;
        std::thread other([&] {
            user();
            if (e2e::WaitUntil([&] { return done.load(); }, 5000)) return;
            leftOpen = true;
            SaveWindowPicture(GetDesktopWindow(), L"language_menu_left_open");
            while (!done) {
                // The menu's loop ends on a cancel-mode message anywhere in its thread's queue.
                PostMessageW(dialog_, WM_CANCELMODE, 0, 0);
                if (HWND box = e2e::FindTopWindow(L"#32770", nullptr, GetCurrentProcessId()))
                    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                Sleep(200);
            }
        });
        // As the program's message loop does between two clicks on the button: whatever is still
        // queued (the last key's release, the closing of a dialog) is dispatched first.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        // As after a click on the button: the dialog is the active window.
        SetForegroundWindow(dialog_);
        ShowLanguageMenu(dialog_, toolbar_, CountReapply);
        done = true;
        other.join();
        EXPECT_FALSE(leftOpen) << "the menu or a dialog stayed open after the user was done";
    }

    HWND dialog_ = nullptr;
    HWND toolbar_ = nullptr;
};

TEST_F(LanguageMenuTest, ListsTheNamedLanguagesAndChoosingOneSwitches) {
    GrowingText file;
    file.Append(u"20=Fin\n");
    g_language.UseFile(&file);
    MenuSeen seen;
    bool used = false;
    // Pictures per ANSI code page: the native names need the fonts of their scripts.
    std::wstring const picture = L"language_menu_cp" + std::to_wstring(GetACP());
    RunMenu([&] { used = UseMenu({VK_DOWN, VK_RETURN}, &seen, picture.c_str()); });
    ASSERT_TRUE(used);

    ASSERT_EQ(seen.texts.size(), 38u) << "35 languages, a separator and the two translator commands";
    for (int slot = 0; slot < 35; slot++) {
        EXPECT_EQ(seen.ids[slot], UINT(10 + slot));
        EXPECT_EQ(seen.texts[slot].find(std::to_wstring(slot) + L".) "), 0u) << slot;
        EXPECT_EQ(seen.texts[slot].substr(seen.texts[slot].size() - 7), L"| 100 %") << slot;
        EXPECT_EQ((seen.states[slot] & MF_GRAYED) != 0, slot == 1)
            << "only the current one is greyed: " << slot;
    }
    EXPECT_EQ(seen.texts[0], L"0.) German\tDeutsch | 100 %");
    EXPECT_EQ(seen.texts[1], L"1.) English\tEnglisch | 100 %");
    EXPECT_EQ(seen.texts[34], L"34.) Bosnian\tBosanski / Hrvatski / Srpski | 100 %");
    EXPECT_NE(seen.states[35] & MF_SEPARATOR, 0u);
    EXPECT_EQ(seen.texts[36], L"Translate");
    EXPECT_EQ(seen.ids[36], 1000u);
    EXPECT_EQ(seen.texts[37], L"Load from File (Unicode)");
    EXPECT_EQ(seen.ids[37], 1001u);
    POINT const corner = ButtonCorner();
    EXPECT_EQ(seen.window.left, corner.x);
    EXPECT_EQ(seen.window.top, corner.y) << "the menu opens under the language button";
    EXPECT_TRUE(seen.buttonPressed) << "the button shows pressed while the menu is open";
    EXPECT_FALSE(SendMessageW(toolbar_, TB_ISBUTTONPRESSED, kLanguageButton, 0)) << "and released after";

    EXPECT_EQ(g_language.Slot(), 0);
    EXPECT_FALSE(g_language.FileInForce()) << "a built-in language ends the language file";
    EXPECT_EQ(g_reapplied, 1);
    EXPECT_EQ(g_reappliedTo, dialog_);
    EXPECT_EQ(ReadSettingText(L"lng"), L"0");
    EXPECT_STREQ(Text(20), L"&Beenden");
}

TEST_F(LanguageMenuTest, DismissingChangesNothing) {
    g_language.Use(3);
    MenuSeen seen;
    RunMenu([&] { UseMenu({VK_ESCAPE}, &seen); });
    EXPECT_EQ(g_language.Slot(), 3);
    EXPECT_EQ(g_reapplied, 0);
    EXPECT_EQ(ReadSettingText(L"lng"), L"<none>");
}

TEST_F(LanguageMenuTest, TheGreyedLanguageCannotBeChosen) {
    g_language.Use(0);
    MenuSeen seen;
    // Down highlights German, the current one; Return on it chooses nothing (and Escape closes the
    // menu if it is still open).
    RunMenu([&] { UseMenu({VK_DOWN, VK_RETURN, VK_ESCAPE}, &seen); });
    EXPECT_NE(seen.states[0] & MF_GRAYED, 0u);
    EXPECT_EQ(g_language.Slot(), 0);
    EXPECT_EQ(g_reapplied, 0);
    EXPECT_EQ(ReadSettingText(L"lng"), L"<none>");
}

TEST_F(LanguageMenuTest, AnIndexOutsideTheSlotsGreysNothing) {
    for (int index : {35, 36, 48, -1}) {
        g_language.Use(index);
        MenuSeen seen;
        RunMenu([&] { UseMenu({VK_ESCAPE}, &seen); });
        ASSERT_EQ(seen.states.size(), 38u);
        for (size_t i = 0; i < 35; i++) EXPECT_EQ(seen.states[i] & MF_GRAYED, 0u) << index << ": " << i;
    }
}

TEST_F(LanguageMenuTest, TranslateWritesTheTemplateAndTheShellOpensIt) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring const path = std::wstring(temp) + L"translate_Huepeek.txt";
    DeleteFileW(path.c_str());
    g_language.Use(3);
    MenuSeen seen;
    RunMenu([&] { UseMenu({VK_UP, VK_UP, VK_RETURN}, &seen); });
    std::vector<BYTE> const golden =
        ReadFileBytes(L"" HUEPEEK_SOURCE_DIR L"/tests/unit/lang/golden/translate_Huepeek.txt");
    EXPECT_EQ(ReadFileBytes(path), golden);
    EXPECT_EQ(g_language.Slot(), 3) << "the language stays";
    EXPECT_EQ(g_reapplied, 0);
    EXPECT_EQ(ReadSettingText(L"lng"), L"3") << "the unchanged language is stored";

    // The shell opens it with the program for text files: Wine's notepad.
    HWND notepad = nullptr;
    e2e::WaitUntil(
        [&] {
            notepad = e2e::FindTopWindow(L"Notepad", nullptr, 0);
            return notepad && e2e::WindowText(notepad).find(L"translate_Huepeek") != std::wstring::npos;
        },
        kDialogTimeoutMs);
    ASSERT_NE(notepad, nullptr);
    EXPECT_NE(e2e::WindowText(notepad).find(L"translate_Huepeek"), std::wstring::npos);
    SaveWindowPicture(notepad, L"translation_template_in_notepad");
    PostMessageW(notepad, WM_CLOSE, 0, 0);
    EXPECT_TRUE(e2e::WaitForNoWindow(L"Notepad", 0, kDialogTimeoutMs));
}

TEST_F(LanguageMenuTest, LoadFromFileMakesTheFileTheOnlySourceUntilALanguageIsChosen) {
    std::wstring const path =
        WriteFileBytes(L"french start.txt", Utf16WithMark(L"20=Fin du fichier\r\n55=\r\n"));
    g_language.Use(3);
    MenuSeen seen;
    MessageBoxSeen report;
    bool answered = false;
    RunMenu([&] {
        answered = UseMenu({VK_UP, VK_RETURN}, &seen) && AnswerOpenDialog(path) &&
                   AnswerMessageBox(L"Translate", &report);
    });
    ASSERT_TRUE(answered);
    EXPECT_EQ(report.text.substr(0, 14), L"2 %\n\nmiss:\n0=h");
    EXPECT_EQ(report.owner, dialog_) << "owned by the dialog, active as the menu closed";
    EXPECT_TRUE(g_language.FileInForce());
    EXPECT_EQ(g_reapplied, 1);
    EXPECT_EQ(g_language.Slot(), 3) << "a file leaves the language index alone";
    EXPECT_EQ(ReadSettingText(L"lng"), L"3");
    EXPECT_STREQ(Text(20), L"Fin du fichier");
    EXPECT_STREQ(Text(55), L"") << "an empty text stays empty";
    EXPECT_STREQ(Text(21), L"str:21?");

    // Any built-in language afterwards ends the file: here Japanese, the fifth item (the keys
    // pass over the greyed French, the fourth).
    MenuSeen again;
    RunMenu([&] { UseMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, &again); });
    EXPECT_FALSE(g_language.FileInForce());
    EXPECT_EQ(g_language.Slot(), 4);
    EXPECT_EQ(ReadSettingText(L"lng"), L"4");
    EXPECT_STREQ(Text(20), L"\u7D42\u4E86(&X)");
}

}  // namespace

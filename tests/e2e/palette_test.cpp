// The palette process ("last_rgb_color_from_the_huepeek"): the system colour dialog, enlarged, with
// an info box, the keys 1 to 4 and a custom-colour history, driven from outside as a user would.
#include <algorithm>
#include <string>

#include "harness.h"
#include "log_pixels.h"
#include "screen_pixels.h"

#include <commdlg.h>

namespace e2e {
namespace {

wchar_t const kPaletteArgument[] = L"last_rgb_color_from_the_huepeek";
wchar_t const kDialogClass[] = L"#32770";
// The system colour dialog's controls.
int const kRedField = 706;
int const kGreenField = 707;
int const kBlueField = 708;
int const kAddToCustomColours = 712;
int const kWebButton = 12345;

DWORD Rgb(int r, int g, int b) {
    return DWORD(r) | DWORD(g) << 8 | DWORD(b) << 16;
}
std::wstring Decimal(DWORD value) {
    return std::to_wstring(int(value));
}

std::wstring ColourKey(int index) {
    return L"last_color_" + std::to_wstring(index);
}

// The English help lines (res/lang/01-english.txt, IDs 42 to 46) below every info text.
wchar_t const kEnglishHelp[] =
    L"Please:\r\n"
    L"press the key [1] to copy the #RRGGBB to the Clipboard\r\n"
    L"press the key [2] to copy the #RRGGBBAA to the Clipboard\r\n"
    L"press the key [3] to copy the RR,GG,BB to the Clipboard\r\n"
    L"press the key [4] to copy the RR,GG,BB,AA to the Clipboard\r\n";

int Height(const RECT& r) {
    return r.bottom - r.top;
}
int Width(const RECT& r) {
    return r.right - r.left;
}
bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
bool Overlap(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != 0;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
    return LRESULT(result);
}

// The top of a line of a multi-line edit, in its client coordinates.
int LineTop(HWND edit, int line) {
    LRESULT const index = Send(edit, EM_LINEINDEX, WPARAM(line));
    return short(HIWORD(Send(edit, EM_POSFROMCHAR, WPARAM(index))));
}

RECT WindowRectOf(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

// The window with the keyboard focus in the thread of a window of another process.
HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// A click of the real mouse (through the X server) in the middle of a window.
bool XdotoolClick(HWND window) {
    RECT const rect = WindowRectOf(window);
    return Xdotool(L"mousemove " + std::to_wstring((rect.left + rect.right) / 2) + L" " +
                   std::to_wstring((rect.top + rect.bottom) / 2) + L" click 1");
}

// Where an edit control's caret is (the end of its selection).
int CaretOf(HWND edit) {
    DWORD_PTR selection = 0;
    SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
    return int(HIWORD(selection));
}

// A Wine virtual desktop the size of the screen. On it the foreground window gets the keyboard, as
// on Windows; without one (and without a window manager) keys go to the window under the pointer.
class VirtualDesktop {
  public:
    explicit VirtualDesktop(const wchar_t* name) : name_(name) {
        std::wstring const size = std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                                  std::to_wstring(GetSystemMetrics(SM_CYSCREEN));
        RegSetKeyValueW(HKEY_CURRENT_USER, kDesktops, name, REG_SZ, size.c_str(),
                        DWORD((size.size() + 1) * sizeof(wchar_t)));
    }
    ~VirtualDesktop() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktops, name_); }
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    const wchar_t* Name() const { return name_; }

    // A shown top-level window of the class and process there; the test's own desktop does not
    // list it. (IsWindowVisible says no to every window of another desktop: the style says it.)
    HWND FindWindow(const wchar_t* className, DWORD processId) const {
        struct Search {
            const wchar_t* className;
            DWORD processId;
            HWND found;
        } search = {className, processId, nullptr};
        HDESK const desktop = OpenDesktopW(name_, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
        if (!desktop) return nullptr;
        EnumDesktopWindows(
            desktop,
            [](HWND hwnd, LPARAM data) -> BOOL {
                auto* const s = reinterpret_cast<Search*>(data);
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid != s->processId || !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) ||
                    ClassNameOf(hwnd) != s->className)
                    return TRUE;
                s->found = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        CloseDesktop(desktop);
        return search.found;
    }

  private:
    static constexpr wchar_t const* kDesktops = L"Software\\Wine\\Explorer\\Desktops";
    const wchar_t* name_;
};

// The size this system gives a full-open colour dialog that nobody has enlarged: one is opened in
// the test's own process and closed again at once.
struct PlainDialogSize {
    RECT window;
    RECT client;
};
PlainDialogSize g_plainSize;

UINT_PTR CALLBACK MeasureHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        GetWindowRect(dialog, &g_plainSize.window);
        GetClientRect(dialog, &g_plainSize.client);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

bool MeasurePlainDialog(PlainDialogSize* size) {
    HMODULE const comdlg32 = LoadLibraryW(L"comdlg32.dll");
    using ChooseColorFn = BOOL(WINAPI*)(CHOOSECOLORW*);
    auto const chooseColor = reinterpret_cast<ChooseColorFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(comdlg32, "ChooseColorW")));
    if (!chooseColor) return false;
    COLORREF custom[16] = {};
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_ANYCOLOR;
    choose.lpfnHook = MeasureHook;
    g_plainSize = {};
    chooseColor(&choose);
    *size = g_plainSize;
    return Height(size->window) > 0;
}

// The dialog refreshes its info box once more this long after the last change of a field.
DWORD const kInfoRefreshMs = 200;

// Lets the refresh that a change would start come due, and the dialog's thread handle it.
bool LetTheRefreshPass(HWND dialog) {
    Sleep(2 * kInfoRefreshMs);
    return DrainMessages(dialog);
}

// The client area on the screen, left to right also where it is mapped from a mirrored window.
RECT ClientOnScreen(HWND hwnd) {
    RECT rect = ClientRectOnScreen(hwnd);
    if (rect.left > rect.right) std::swap(rect.left, rect.right);
    return rect;
}

// Whether a control has painted itself over the dialog's background: at most half of its client
// area still shows that colour.
bool Painted(HWND control, COLORREF background) {
    RECT const rect = ClientOnScreen(control);
    ScreenPixels const pixels(rect);
    return pixels.Count(rect, background) * 2 < Width(rect) * Height(rect);
}

class PaletteTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        // The info box's help lines are compared in English.
        WriteSetting(L"lng", L"1");
    }

    // Starts the palette process on a colour (none: no stored colour) and waits for its dialog.
    HWND StartPalette(Process& process, const DWORD* colour) {
        if (colour) WriteSetting(L"last_rgb_color", Decimal(*colour));
        EXPECT_TRUE(StartHuepeek(process, kPaletteArgument));
        HWND const dialog = WaitForWindow(kDialogClass, nullptr, process.Id(), kStartTimeoutMs);
        EXPECT_NE(nullptr, dialog) << "no colour dialog";
        return dialog;
    }

    // The same on a virtual desktop.
    HWND StartPalette(Process& process, DWORD colour, const VirtualDesktop& desktop) {
        WriteSetting(L"last_rgb_color", Decimal(colour));
        EXPECT_TRUE(process.Start(HuepeekPath(), kPaletteArgument, nullptr, desktop.Name()));
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = desktop.FindWindow(kDialogClass, process.Id())) != nullptr; },
                  kStartTimeoutMs);
        EXPECT_NE(nullptr, dialog) << "no colour dialog";
        return dialog;
    }
    HWND StartPalette(DWORD colour) { return StartPalette(palette_, &colour); }

    // The added info box: the multi-line edit without a control ID.
    static HWND InfoBox(HWND dialog) {
        for (HWND edit : ChildWindows(dialog, L"Edit"))
            if (GetDlgCtrlID(edit) == 0 && (GetWindowLongW(edit, GWL_STYLE) & ES_MULTILINE)) return edit;
        return nullptr;
    }

    // The dialog paints in its own time, the added controls among the last: a screenshot or a look
    // at the screen waits for them.
    static bool WaitPainted(HWND dialog) {
        return WaitUntil(
            [&] {
                // The dialog's background, in the corner of its client area.
                RECT const client = ClientOnScreen(dialog);
                RECT const corner = {client.left, client.top, client.left + 1, client.top + 1};
                COLORREF const background = ScreenPixels(corner).At(corner.left, corner.top);
                return Painted(InfoBox(dialog), background) &&
                       Painted(GetDlgItem(dialog, kWebButton), background) &&
                       Painted(GetDlgItem(dialog, IDCANCEL), background);
            },
            5000);
    }

    // The info box and the web button lie inside the client area, over none of the dialog's own
    // controls; every line of the info box, wrapped ones too, can be read, and the button's text.
    static void ExpectAddedControlsUsable(HWND dialog, HWND info, HWND button) {
        RECT const client = ClientRectOnScreen(dialog);
        RECT const infoRect = WindowRectOf(info);
        RECT const buttonRect = WindowRectOf(button);
        EXPECT_TRUE(Inside(infoRect, client));
        EXPECT_TRUE(Inside(buttonRect, client));
        EXPECT_FALSE(Overlap(infoRect, buttonRect));
        for (HWND child : ChildWindows(dialog, nullptr)) {
            if (child == info || child == button || !IsWindowVisible(child)) continue;
            RECT const r = WindowRectOf(child);
            EXPECT_FALSE(Overlap(r, infoRect) || Overlap(r, buttonRect))
                << "control " << GetDlgCtrlID(child) << " under the added controls";
        }
        int const lines = int(Send(info, EM_GETLINECOUNT)) - 1;  // behind the last line end
        int const lineHeight = LineTop(info, 1) - LineTop(info, 0);
        RECT infoClient = {};
        GetClientRect(info, &infoClient);
        EXPECT_GE(lines, 12);
        EXPECT_LE(LineTop(info, lines - 1) + lineHeight, infoClient.bottom)
            << "the last info line is cut off";
        RECT buttonClient = {};
        GetClientRect(button, &buttonClient);
        EXPECT_GE(buttonClient.bottom, lineHeight) << "the button's text is cut off";
    }

    static std::wstring Field(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

    static bool FieldsShow(HWND dialog, int r, int g, int b) {
        return Field(dialog, kRedField) == std::to_wstring(r) &&
               Field(dialog, kGreenField) == std::to_wstring(g) &&
               Field(dialog, kBlueField) == std::to_wstring(b);
    }

    DWORD CloseWith(HWND button) {
        EXPECT_TRUE(ClickButton(button));
        DWORD code = 0xFFFF;
        EXPECT_TRUE(palette_.WaitExit(kExitTimeoutMs, &code)) << "the palette process did not end";
        return code;
    }
    DWORD CloseWithOk(HWND dialog) { return CloseWith(GetDlgItem(dialog, IDOK)); }

    static std::wstring StoredColour(int index) {
        std::wstring text;
        return ReadSetting(ColourKey(index).c_str(), &text) ? text : L"<none>";
    }

    Process palette_;
};

TEST_F(PaletteTest, OpensOnTheLastColourWithItsInfoText) {
    HWND const dialog = StartPalette(Rgb(12, 34, 56));
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(WaitUntil([&] { return FieldsShow(dialog, 12, 34, 56); }, 2000))
        << Field(dialog, kRedField) << "," << Field(dialog, kGreenField) << "," << Field(dialog, kBlueField);
    HWND const info = InfoBox(dialog);
    ASSERT_NE(nullptr, info) << "no info box";
    // Hue of 12,34,56: (r - g) / (max - min) + 4 = -22/44 + 4 = 3.5 sextants = 210 degrees;
    // saturation 44/56 = 0.785 and value 56/255 = 0.219, both truncated.
    std::wstring const expected = std::wstring(
                                      L"#0C2238\r\n"
                                      L"0C,22,38\r\n"
                                      L"12,34,56\r\n"
                                      L"12,34,56,255\r\n"
                                      L"HSB/HSV:210,78,21\r\n"
                                      L"HSB/HSV:D2,4E,15\r\n"
                                      L"\r\n") +
                                  kEnglishHelp;
    EXPECT_TRUE(WaitUntil([&] { return WindowText(info) == expected; }, 2000))
        << "info box: " << WindowText(info).size() << " chars";
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
}

// Red 0, green 1, blue 8: the hue is (r - g) / (b - g) + 4 = -1/7 + 4 sextants = 232.5 degrees
// exactly, which prints as the even 232 on every system (Wine's own VarRound would say 233).
TEST_F(PaletteTest, AnExactHalfDegreeGoesToTheEvenHue) {
    HWND const dialog = StartPalette(Rgb(0, 1, 8));
    ASSERT_NE(nullptr, dialog);
    HWND const info = InfoBox(dialog);
    ASSERT_NE(nullptr, info);
    EXPECT_TRUE(
        WaitUntil([&] { return WindowText(info).find(L"\r\nHSB/HSV:") != std::wstring::npos; }, 2000));
    std::wstring const text = WindowText(info);
    EXPECT_NE(std::wstring::npos, text.find(L"\r\nHSB/HSV:232,100,3\r\nHSB/HSV:E8,64,03\r\n"))
        << "info box: " << std::string(text.begin(), text.end());
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
}

TEST_F(PaletteTest, EditingAFieldRetitlesAndUpdatesTheInfoBox) {
    HWND const dialog = StartPalette(Rgb(12, 34, 56));
    ASSERT_NE(nullptr, dialog);
    HWND const info = InfoBox(dialog);
    ASSERT_NE(nullptr, info);
    ASSERT_TRUE(WaitUntil([&] { return FieldsShow(dialog, 12, 34, 56); }, 2000));
    ASSERT_TRUE(SetTextOf(dialog, L"not yet"));

    ASSERT_TRUE(SetTextOf(GetDlgItem(dialog, kRedField), L"255"));
    // The hook has run by the time the field has its text: the title and the info box change at once.
    EXPECT_EQ(L"Huepeek", WindowText(dialog));
    // 255,34,56: max red, min green; hue = (g - b) / (max - min) = -22/221 sextants = -5.97 + 360.
    EXPECT_EQ(0u, WindowText(info).find(L"#FF2238\r\nFF,22,38\r\n255,34,56\r\n255,34,56,255\r\n"
                                        L"HSB/HSV:354,86,100\r\nHSB/HSV:162,56,64\r\n\r\nPlease:"))
        << "info box after the change";

    ASSERT_TRUE(SetTextOf(GetDlgItem(dialog, kBlueField), L"0"));
    EXPECT_EQ(0u, WindowText(info).find(L"#FF2200\r\n")) << "info box after the second change";

    // The info box is an edit too, but its own changes are not the colour's: what is typed there
    // stays, and neither the refresh nor the title reacts to it. (Typed after the refresh that
    // follows the last field change.)
    ASSERT_TRUE(LetTheRefreshPass(dialog));
    ASSERT_TRUE(SetTextOf(dialog, L"not again"));
    // Keys, not WM_SETTEXT: a multi-line edit reports no change for a text set from outside. The
    // whole text is selected first, so the typing replaces it (the full box takes no more lines).
    PostMessageW(info, EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"typed")) PostMessageW(info, WM_CHAR, c, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(info) == L"typed"; }, 2000)) << WindowText(info);
    // The refresh timer of a change would have come by now.
    ASSERT_TRUE(LetTheRefreshPass(dialog));
    EXPECT_EQ(L"typed", WindowText(info));
    EXPECT_EQ(L"not again", WindowText(dialog));
    std::wstring copied;
    PostMessageW(dialog, WM_KEYDOWN, '1', 0);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(palette_.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(1), code);
    ASSERT_TRUE(ReadClipboardText(&copied));
    EXPECT_EQ(L"#FF2200", copied) << "the keys copy the colour of the fields";
}

TEST_F(PaletteTest, KeysCopyAndEndTheProcessWith1) {
    struct {
        WPARAM key;
        const wchar_t* expected;
    } const cases[] = {
        {'1', L"#0C2238"},
        {'2', L"#0C2238FF"},
        {'3', L"12,34,56"},
        {'4', L"12,34,56"},  // the same text as key 3, without an alpha part
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << char(c.key));
        ClearClipboard();
        Process palette;
        DWORD const colour = Rgb(12, 34, 56);
        HWND const dialog = StartPalette(palette, &colour);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(WaitUntil([&] { return FieldsShow(dialog, 12, 34, 56); }, 2000));
        // The dialog never holds the focus itself (its red field does), so the key is sent to it.
        PostMessageW(dialog, WM_KEYDOWN, c.key, 0);
        DWORD code = 0xFFFF;
        ASSERT_TRUE(palette.WaitExit(kExitTimeoutMs, &code)) << "still running after the key";
        EXPECT_EQ(DWORD(1), code);
        std::wstring copied;
        EXPECT_TRUE(ReadClipboardText(&copied));
        EXPECT_EQ(c.expected, copied);
    }
}

// With a real keyboard the keys go to the control with the focus, never to the dialog itself. The
// dialog starts with the focus on OK, where 1 to 4 copy; in a field the user clicked into they type
// digits; on any other control they copy again.
TEST_F(PaletteTest, RealKeysCopyOutsideTheFieldsAndTypeDigitsInThem) {
    VirtualDesktop const desktop(L"huepeek_palette");
    {
        Process palette;
        HWND const dialog = StartPalette(palette, Rgb(12, 34, 56), desktop);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(WaitUntil(
            [&] { return FieldsShow(dialog, 12, 34, 56) && FocusOf(dialog) == GetDlgItem(dialog, IDOK); },
            2000))
            << "the focus starts on control " << GetDlgCtrlID(FocusOf(dialog));
        // Pressed again until seen: Wine drops a key that arrives while its window is still taking
        // the X focus of the new desktop. On OK, a press that is seen copies and ends the dialog.
        DWORD code = 0xFFFF;
        bool ended = false;
        for (int press = 0; press < 10 && !ended; ++press) {
            ASSERT_TRUE(Xdotool(L"key 2"));
            ended = palette.WaitExit(kExitTimeoutMs / 10, &code);
        }
        ASSERT_TRUE(ended) << "the key did not end the dialog";
        EXPECT_EQ(DWORD(1), code);
        std::wstring copied;
        EXPECT_TRUE(ReadClipboardText(&copied));
        EXPECT_EQ(L"#0C2238FF", copied);
    }

    ASSERT_TRUE(WriteClipboardText(L"untouched"));
    HWND const dialog = StartPalette(palette_, Rgb(12, 34, 56), desktop);
    ASSERT_NE(nullptr, dialog);
    HWND const red = GetDlgItem(dialog, kRedField);
    ASSERT_TRUE(WaitUntil([&] { return FieldsShow(dialog, 12, 34, 56); }, 2000));
    ASSERT_TRUE(XdotoolClick(red));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) == red; }, 2000))
        << "the click gave the field no focus";
    // 12 becomes 10: the caret to the end, the 2 taken back, a 0 typed; one key at a time, each
    // once the one before has done its part.
    ASSERT_TRUE(Xdotool(L"key End"));
    ASSERT_TRUE(WaitUntil([&] { return CaretOf(red) == 2; }, 2000));
    ASSERT_TRUE(Xdotool(L"key BackSpace"));
    ASSERT_TRUE(WaitUntil([&] { return Field(dialog, kRedField) == L"1"; }, 2000))
        << Field(dialog, kRedField);
    ASSERT_TRUE(Xdotool(L"key 0"));
    EXPECT_TRUE(WaitUntil([&] { return Field(dialog, kRedField) == L"10"; }, 2000))
        << Field(dialog, kRedField);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(InfoBox(dialog)).find(L"#0A2238\r\n") == 0; }, 2000));
    EXPECT_TRUE(palette_.Running()) << "a digit typed into a field ended the dialog";
    std::wstring copied;
    EXPECT_TRUE(ReadClipboardText(&copied));
    EXPECT_EQ(L"untouched", copied);

    // Away from the fields, on the button that adds the colour to the custom colours.
    HWND const add = GetDlgItem(dialog, kAddToCustomColours);
    ASSERT_TRUE(XdotoolClick(add));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) == add; }, 2000));
    ASSERT_TRUE(Xdotool(L"key 3"));
    DWORD code = 0xFFFF;
    ASSERT_TRUE(palette_.WaitExit(kExitTimeoutMs, &code));
    EXPECT_EQ(DWORD(1), code);
    EXPECT_TRUE(ReadClipboardText(&copied));
    EXPECT_EQ(L"10,34,56", copied);
    EXPECT_EQ(Decimal(Rgb(10, 34, 56)), StoredColour(0)) << "the colour added before the key";
}

TEST_F(PaletteTest, OtherKeysNeitherCopyNorEnd) {
    HWND const dialog = StartPalette(Rgb(12, 34, 56));
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(WriteClipboardText(L"untouched"));
    for (WPARAM key : {WPARAM('0'), WPARAM('5'), WPARAM('A'), WPARAM(VK_NUMPAD1), WPARAM(VK_F1)})
        EXPECT_TRUE(Deliver(dialog, WM_KEYDOWN, key, 0)) << "no answer to key " << key;
    EXPECT_TRUE(DrainMessages(dialog)) << "the palette process ended";
    std::wstring text;
    EXPECT_TRUE(ReadClipboardText(&text));
    EXPECT_EQ(L"untouched", text);
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
}

TEST_F(PaletteTest, ClosingWithoutAColourInTheFirstBoxStoresNothing) {
    HWND const dialog = StartPalette(palette_, nullptr);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(WaitUntil([&] { return FieldsShow(dialog, 0, 0, 0); }, 2000));
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
    for (int i = 0; i < 16; ++i) EXPECT_FALSE(SettingExists(ColourKey(i).c_str())) << i;
}

TEST_F(PaletteTest, CustomColoursAreAHistory) {
    DWORD const first = Rgb(12, 34, 56);
    DWORD const second = Rgb(200, 100, 50);
    // A colour added to the custom colours goes into the first box, which always starts black.
    HWND dialog = StartPalette(first);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, kAddToCustomColours)));
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
    EXPECT_EQ(Decimal(first), StoredColour(0));
    for (int i = 1; i < 16; ++i) EXPECT_EQ(L"0", StoredColour(i)) << i;

    // Next time the stored colour sits in the second box; a new one in the first moves it on.
    dialog = StartPalette(second);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, kAddToCustomColours)));
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
    EXPECT_EQ(Decimal(second), StoredColour(0));
    EXPECT_EQ(Decimal(first), StoredColour(1));
    for (int i = 2; i < 16; ++i) EXPECT_EQ(L"0", StoredColour(i)) << i;

    // Without a colour in the first box the history stays as it is.
    dialog = StartPalette(first);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
    EXPECT_EQ(Decimal(second), StoredColour(0));
    EXPECT_EQ(Decimal(first), StoredColour(1));
}

TEST_F(PaletteTest, TheSixteenthColourFallsOutOfTheHistory) {
    // Stored under 0 to 14 and shown in boxes 2 to 16; what was under 14 is written under 15 and
    // never read again.
    for (int i = 0; i < 15; ++i) WriteSetting(ColourKey(i).c_str(), Decimal(Rgb(i + 1, 0, 0)));
    WriteSetting(ColourKey(15).c_str(), L"999");
    HWND const dialog = StartPalette(Rgb(0, 0, 77));
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, kAddToCustomColours)));
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
    EXPECT_EQ(Decimal(Rgb(0, 0, 77)), StoredColour(0));
    for (int i = 1; i < 16; ++i) EXPECT_EQ(Decimal(Rgb(i, 0, 0)), StoredColour(i)) << i;
}

TEST_F(PaletteTest, PureBlackInTheFirstBoxIsNotStored) {
    WriteSetting(ColourKey(0).c_str(), Decimal(Rgb(1, 2, 3)));
    HWND const dialog = StartPalette(Rgb(0, 0, 0));
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(ClickButton(GetDlgItem(dialog, kAddToCustomColours)));
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
    EXPECT_EQ(Decimal(Rgb(1, 2, 3)), StoredColour(0));
    EXPECT_FALSE(SettingExists(ColourKey(15).c_str()));
}

// Two colour dialogs open at once: red added in the first, then blue in the second. Each merges its
// colour with the history as stored when it closes, so neither colour is lost.
TEST_F(PaletteTest, TwoColourDialogsKeepBothColours) {
    WriteSetting(ColourKey(0).c_str(), Decimal(Rgb(1, 2, 3)));
    Process first, second;
    DWORD const red = Rgb(255, 0, 0);
    DWORD const blue = Rgb(0, 0, 255);
    HWND const firstDialog = StartPalette(first, &red);
    ASSERT_NE(nullptr, firstDialog);
    HWND const secondDialog = StartPalette(second, &blue);
    ASSERT_NE(nullptr, secondDialog);
    ASSERT_TRUE(WaitUntil([&] { return FieldsShow(secondDialog, 0, 0, 255); }, 2000));

    ASSERT_TRUE(ClickButton(GetDlgItem(firstDialog, kAddToCustomColours)));
    ASSERT_TRUE(ClickButton(GetDlgItem(firstDialog, IDOK)));
    ASSERT_TRUE(first.WaitExit(kExitTimeoutMs, nullptr));
    EXPECT_EQ(Decimal(red), StoredColour(0));

    ASSERT_TRUE(ClickButton(GetDlgItem(secondDialog, kAddToCustomColours)));
    ASSERT_TRUE(ClickButton(GetDlgItem(secondDialog, IDOK)));
    ASSERT_TRUE(second.WaitExit(kExitTimeoutMs, nullptr));
    EXPECT_EQ(Decimal(blue), StoredColour(0));
    EXPECT_EQ(Decimal(red), StoredColour(1)) << "the first dialog's colour is lost";
    EXPECT_EQ(Decimal(Rgb(1, 2, 3)), StoredColour(2));
    for (int i = 3; i < 16; ++i) EXPECT_EQ(L"0", StoredColour(i)) << i;
}

// A last colour stored as -1 (or any value with a top byte) is white, and what goes back into the
// settings from it is the colour only.
TEST_F(PaletteTest, ALastColourWithATopByteIsJustItsColour) {
    for (const wchar_t* stored : {L"-1", L"4294967295", L"33554687"}) {
        SCOPED_TRACE(testing::Message() << "stored " << std::string(stored, stored + lstrlenW(stored)));
        WriteSetting(ColourKey(0).c_str(), L"0");
        WriteSetting(L"last_rgb_color", stored);
        Process palette;
        HWND const dialog = StartPalette(palette, nullptr);
        ASSERT_NE(nullptr, dialog);
        bool const white = stored[0] != L'3';
        ASSERT_TRUE(WaitUntil(
            [&] { return white ? FieldsShow(dialog, 255, 255, 255) : FieldsShow(dialog, 255, 0, 0); }, 2000));
        ASSERT_TRUE(ClickButton(GetDlgItem(dialog, kAddToCustomColours)));
        ASSERT_TRUE(ClickButton(GetDlgItem(dialog, IDOK)));
        ASSERT_TRUE(palette.WaitExit(kExitTimeoutMs, nullptr));
        EXPECT_EQ(white ? L"16777215" : L"255", StoredColour(0));
    }
}

TEST_F(PaletteTest, DamagedSettingsStillOpenTheDialog) {
    const wchar_t* const hostile[] = {
        L"",     L"-1",           L"abc",       L"99999999999999999999", L"-2147483648", L" 12",
        L"0x10", L"\x00e4\x00f6", L"4294967295"};
    int i = 0;
    for (const wchar_t* value : hostile) WriteSetting(ColourKey(i++).c_str(), value);
    WriteSetting(L"last_rgb_color", L"garbage");
    HWND const dialog = StartPalette(palette_, nullptr);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(WaitUntil([&] { return FieldsShow(dialog, 0, 0, 0); }, 2000)) << "garbage reads as black";
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
}

TEST_F(PaletteTest, EnlargedCentredWithInfoBoxAndWebButton) {
    PlainDialogSize plain;
    ASSERT_TRUE(MeasurePlainDialog(&plain));
    HWND const dialog = StartPalette(Rgb(255, 128, 0));
    ASSERT_NE(nullptr, dialog);
    HWND const info = InfoBox(dialog);
    HWND const button = GetDlgItem(dialog, kWebButton);
    ASSERT_NE(nullptr, info);
    ASSERT_NE(nullptr, button);
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(info).empty(); }, 2000));

    RECT const window = WindowRectOf(dialog);
    EXPECT_EQ(Width(plain.window), Width(window));
    EXPECT_EQ(int(Height(plain.window) * 1.5) + 40, Height(window));
    RECT const work = WorkArea();
    EXPECT_NEAR((work.left + work.right) / 2.0, (window.left + window.right) / 2.0, 1.0);
    EXPECT_NEAR((work.top + work.bottom) / 2.0, (window.top + window.bottom) / 2.0, 1.0);

    // The info box fills the new space below the dialog's own controls; the button lies below it.
    ExpectAddedControlsUsable(dialog, info, button);
    RECT const client = ClientRectOnScreen(dialog);
    RECT const infoRect = WindowRectOf(info);
    RECT const buttonRect = WindowRectOf(button);
    EXPECT_EQ(client.top + Height(plain.client), infoRect.top);
    EXPECT_EQ(Width(client), Width(infoRect));
    EXPECT_EQ(infoRect.bottom, buttonRect.top);
    EXPECT_GE(infoRect.bottom - client.top, int(Height(plain.window) * 1.5) - 30);
    EXPECT_EQ(30, Height(buttonRect));
    EXPECT_EQ(12, int(Send(info, EM_GETLINECOUNT)) - 1) << "lines";  // behind the last line end
    EXPECT_EQ(0u, WindowText(button).find(L"...  www.vantorel.")) << "button caption";

    // For a person to look at: nothing overlapped or cut.
    ASSERT_TRUE(WaitPainted(dialog));
    EXPECT_TRUE(SaveScreenshot(window, ScreenshotDir() + L"\\palette_dialog.png"));
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
}

// This thread sees every window in the screen's own pixels, whatever scaling the process that made
// it runs at (Wine would otherwise scale another DPI's rectangles to this process's).
void SeeScreenPixels() {
    using SetContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto const set = reinterpret_cast<SetContextFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
    ASSERT_NE(nullptr, set);
    set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

// Under a right-to-left system locale Wine mirrors the colour dialog, and the info box took the
// mirroring over: "#3366CC" read "3366CC#". The values read left to right whatever the language;
// the help lines read right to left. The build runs this under LC_ALL=ar_SA.UTF-8 (Wine takes the
// locale from the environment a program starts in).
TEST_F(PaletteTest, ValuesReadLeftToRightInAMirroredDialog) {
    WORD const language = PRIMARYLANGID(GetUserDefaultUILanguage());
    if (language != LANG_ARABIC && language != LANG_HEBREW && language != LANG_PERSIAN) {
        const wchar_t* const expected = _wgetenv(L"HUEPEEK_EXPECT_RIGHT_TO_LEFT");
        if (expected && expected[0] == L'1') FAIL() << "language " << language << " reads left to right";
        GTEST_SKIP() << "needs a right-to-left system locale (LC_ALL=ar_SA.UTF-8)";
    }
    WriteSetting(L"lng", L"11");  // Arabic
    HWND const dialog = StartPalette(Rgb(51, 102, 204));
    ASSERT_NE(nullptr, dialog);
    HWND const info = InfoBox(dialog);
    ASSERT_NE(nullptr, info);
    ASSERT_TRUE(WaitUntil(
        [&] { return WindowText(info).find(L"#3366CC\r\n33,66,CC\r\n51,102,204\r\n") == 0; }, 2000));
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) << "the dialog is not mirrored here";
    EXPECT_EQ(0, GetWindowLongW(info, GWL_EXSTYLE) & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING | WS_EX_RIGHT));
    // The Arabic help lines (res/lang/11-arabic.txt, IDs 42 to 46) are embedded right to left.
    std::wstring const text = WindowText(info);
    EXPECT_NE(std::wstring::npos, text.find(L"\r\n\r\n\u202B")) << "the first help line";
    EXPECT_EQ(5u, size_t(std::count(text.begin(), text.end(), L'\u202C')));

    // On the screen the first line, "#3366CC", begins at the box's left edge and ends well before
    // its middle.
    ASSERT_TRUE(WaitPainted(dialog));
    RECT const box = ClientRectOnScreen(info);
    int const lineHeight = LineTop(info, 1) - LineTop(info, 0);
    RECT const firstLine = {box.left, box.top + LineTop(info, 0), box.right,
                            box.top + LineTop(info, 0) + lineHeight};
    COLORREF const background = GetSysColor(COLOR_WINDOW);
    ScreenPixels const pixels(firstLine);
    int left = -1, right = -1;
    for (int x = firstLine.left; x < firstLine.right; ++x)
        for (int y = firstLine.top; y < firstLine.bottom; ++y)
            if (pixels.At(x, y) != background) {
                if (left < 0) left = x - box.left;
                right = x - box.left;
            }
    EXPECT_GE(left, 0) << "nothing drawn";
    EXPECT_LT(left, lineHeight) << "the line does not begin at the left edge";
    EXPECT_LT(right, (box.right - box.left) / 2) << "the line reaches past the middle";
    EXPECT_TRUE(SaveScreenshot(WindowRectOf(dialog), ScreenshotDir() + L"\\palette_dialog_arabic.png"));
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
}

// Where there is no room beside the dialog's controls either (250 % on the test screen, 1280
// pixels wide), the info box scrolls. Made mirrored, as a child of the mirrored dialog is, the edit kept its
// scroll bar's place on the left, unpainted, and no scroll bar showed.
TEST_F(PaletteTest, MirroredDialogOnANarrowScreenShowsTheScrollBar) {
    WORD const language = PRIMARYLANGID(GetUserDefaultUILanguage());
    if (language != LANG_ARABIC && language != LANG_HEBREW && language != LANG_PERSIAN)
        GTEST_SKIP() << "needs a right-to-left system locale (LC_ALL=ar_SA.UTF-8)";
    WriteSetting(L"lng", L"11");  // Arabic
    SeeScreenPixels();
    ScopedLogPixels const scaling(240);
    ASSERT_TRUE(scaling.Set());
    HWND const dialog = StartPalette(Rgb(51, 102, 204));
    ASSERT_NE(nullptr, dialog);
    HWND const info = InfoBox(dialog);
    ASSERT_NE(nullptr, info);
    EXPECT_TRUE(GetWindowLongW(info, GWL_STYLE) & WS_VSCROLL);
    // The client area begins at the box's left edge (inside its sunken edge) and leaves a scroll
    // bar's width at its right.
    RECT const box = WindowRectOf(info);
    RECT const client = ClientOnScreen(info);
    int const edges = 4 * GetSystemMetrics(SM_CXEDGE);
    EXPECT_LE(client.left - box.left, edges) << "room on the left";
    EXPECT_GE(box.right - client.right, 16) << "no room for the scroll bar on the right";
    EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
}

// At 100 % and at 200 % (on the test screen, 800 pixels tall) the enlarged dialog lies inside the
// work area, every line of its info box can be read and the web button can be reached. The build
// runs this in English and once more under a Japanese and an Arabic locale, in those languages
// (HUEPEEK_PALETTE_LANGUAGE holds the slot), for the screenshots.
TEST_F(PaletteTest, FitsTheWorkAreaAtEveryScale) {
    const wchar_t* const slot = _wgetenv(L"HUEPEEK_PALETTE_LANGUAGE");
    WriteSetting(L"lng", slot ? slot : L"1");
    PlainDialogSize plain;
    ASSERT_TRUE(MeasurePlainDialog(&plain));
    SeeScreenPixels();
    int okWidthAt96 = 0;
    for (DWORD dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        ScopedLogPixels const scaling(dpi);
        ASSERT_TRUE(scaling.Set());
        HWND const dialog = StartPalette(Rgb(255, 128, 0));
        ASSERT_NE(nullptr, dialog);
        HWND const info = InfoBox(dialog);
        HWND const button = GetDlgItem(dialog, kWebButton);
        ASSERT_NE(nullptr, info);
        ASSERT_NE(nullptr, button);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(info).find(L"#FF8000\r\n") == 0; }, 2000));

        RECT const window = WindowRectOf(dialog);
        // The process took the scaling: its dialog's own controls are twice as wide at 200 %.
        int const okWidth = Width(WindowRectOf(GetDlgItem(dialog, IDOK)));
        if (dpi == 96) okWidthAt96 = okWidth;
        EXPECT_NEAR(double(okWidth) / okWidthAt96, dpi / 96.0, 0.2) << okWidth;
        EXPECT_TRUE(Inside(window, WorkArea()))
            << "the dialog is " << Width(window) << " x " << Height(window);
        ExpectAddedControlsUsable(dialog, info, button);

        EXPECT_TRUE(WaitPainted(dialog));
        EXPECT_TRUE(SaveScreenshot(window, ScreenshotDir() + L"\\palette_dialog_" + (slot ? slot : L"1") +
                                               L"_" + std::to_wstring(dpi) + L"dpi.png"));
        EXPECT_EQ(DWORD(1), CloseWithOk(dialog));
    }
}

// The palette process inherits the test's time zone (under Wine the TZ of the environment the tests
// run in); the caption is checked against the bias that zone has.
TEST_F(PaletteTest, WebButtonCaptionFollowsLanguageAndTimeZone) {
    TIME_ZONE_INFORMATION zone = {};
    bool const haveZone = GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID;
    // Up to four hours from UTC either way counts as Europe.
    bool const european = haveZone && zone.Bias >= -240 && zone.Bias <= 240;
    struct {
        const wchar_t* language;
        const wchar_t* caption;
    } const cases[] = {
        {L"1", european ? L"...  www.vantorel.eu" : L"...  www.vantorel.com"},
        {L"22", european ? L"...  www.vantorel.eu" : L"...  www.vantorel.com"},
        {L"0", L"...  www.vantorel.de"},  // German whatever the zone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "lng " << c.language << ", bias " << zone.Bias);
        WriteSetting(L"lng", c.language);
        Process palette;
        HWND const dialog = StartPalette(palette, nullptr);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(c.caption, WindowText(GetDlgItem(dialog, kWebButton)));
        ClickButton(GetDlgItem(dialog, IDCANCEL));
        DWORD code = 0xFFFF;
        EXPECT_TRUE(palette.WaitExit(kExitTimeoutMs, &code));
        EXPECT_EQ(DWORD(1), code);
    }
}

TEST_F(PaletteTest, WebButtonOpensTheThankYouPage) {
    struct {
        const wchar_t* language;
        const wchar_t* address;
    } const cases[] = {
        // Product strings 20 (German) and 21 (every other language), res/lang/product.txt.
        {L"0", L"https://www.vantorel.de/?seite=Microsoft/Huepeek/Danke"},
        {L"1", L"https://www.vantorel.com/?seite=Microsoft/Huepeek/Thanks"},
        {L"3", L"https://www.vantorel.com/?seite=Microsoft/Huepeek/Thanks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "lng " << c.language);
        UrlRecorder recorder;
        WriteSetting(L"lng", c.language);
        Process palette;
        HWND const dialog = StartPalette(palette, nullptr);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(ClickButton(GetDlgItem(dialog, kWebButton)));
        ASSERT_TRUE(recorder.WaitForUrls(1, 5000)) << "nothing opened";
        ASSERT_TRUE(DrainMessages(dialog));
        ASSERT_TRUE(recorder.WaitForOpenCommands(5000));
        ASSERT_EQ(1u, recorder.Urls().size()) << "opened more than once";
        EXPECT_EQ(c.address, recorder.Urls()[0]);
        EXPECT_TRUE(palette.Running()) << "the dialog stays open";
        ClickButton(GetDlgItem(dialog, IDCANCEL));
        EXPECT_TRUE(palette.WaitExit(kExitTimeoutMs, nullptr));
    }
}

TEST_F(PaletteTest, OpensBesideARunningInstance) {
    Process main;
    ASSERT_TRUE(StartHuepeek(main, L""));
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"Huepeek", L"Huepeek") != nullptr; }, kStartTimeoutMs))
        << "no host window";
    HWND const dialog = StartPalette(Rgb(1, 2, 3));
    ASSERT_NE(nullptr, dialog) << "the palette process must not hand over to the running instance";
    EXPECT_NE(nullptr, InfoBox(dialog));
    EXPECT_EQ(DWORD(1), CloseWith(GetDlgItem(dialog, IDCANCEL)));
    EXPECT_TRUE(main.Running());
}

}  // namespace
}  // namespace e2e

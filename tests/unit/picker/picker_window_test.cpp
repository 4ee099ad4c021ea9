// The picker window of this test process: a real window, real timers and messages.
#include "picker/picker_window.h"

#include <gtest/gtest.h>

#include "base/process_state.h"

namespace {

void Wheel(int notches) {
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i)
        SendMessageW(g_picker.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA),
                     0);
}

class PickerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_instance = GetModuleHandleW(nullptr);
        SetCursorPos(640, 400);
    }
    void TearDown() override { HidePicker(); }
};

TEST_F(PickerWindowTest, WheelZoomsInWholeStepsWithinBoundsAndSurvivesReopening) {
    OpenPicker();
    ASSERT_NE(nullptr, g_picker.hwnd);
    EXPECT_TRUE(IsWindowVisible(g_picker.hwnd));
    float const start = g_picker.zoom;
    Wheel(-20);
    EXPECT_EQ(1.0f, g_picker.zoom);
    Wheel(9);
    EXPECT_EQ(10.0f, g_picker.zoom);
    Wheel(6);
    EXPECT_EQ(16.0f, g_picker.zoom);
    Wheel(1);
    EXPECT_EQ(16.0f, g_picker.zoom);
    // A zero delta changes nothing; scroll-bar requests zoom too.
    SendMessageW(g_picker.hwnd, WM_MOUSEWHEEL, 0, 0);
    EXPECT_EQ(16.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(15.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(16.0f, g_picker.zoom);
    SendMessageW(g_picker.hwnd, WM_VSCROLL, SB_THUMBPOSITION, 0);
    EXPECT_EQ(16.0f, g_picker.zoom);

    Wheel(-3);
    HidePicker();
    EXPECT_FALSE(IsWindowVisible(g_picker.hwnd));
    EXPECT_EQ(nullptr, g_picker.snapshotDc) << "the snapshot is released on hide";
    OpenPicker();
    EXPECT_EQ(13.0f, g_picker.zoom) << "opening again keeps the zoom chosen with the wheel (started at "
                                    << start << ")";
}

TEST_F(PickerWindowTest, ShowFixesTheSizeAndCentresOnTheCursor) {
    OpenPicker();
    EXPECT_EQ(384, g_picker.currentWidth);
    EXPECT_EQ(256, g_picker.currentHeight);
    RECT rect;
    GetWindowRect(g_picker.hwnd, &rect);
    EXPECT_EQ(448, rect.left);
    EXPECT_EQ(272, rect.top);
    EXPECT_EQ(384, rect.right - rect.left);
    EXPECT_EQ(256, rect.bottom - rect.top);
    EXPECT_EQ(1, g_picker.shown);
    EXPECT_NE(nullptr, g_picker.snapshotDc);
}

TEST_F(PickerWindowTest, F1HidesWithoutEndingTheRun) {
    OpenPicker();
    SendMessageW(g_picker.hwnd, WM_KEYDOWN, VK_F1, 0);
    EXPECT_FALSE(IsWindowVisible(g_picker.hwnd));
    EXPECT_EQ(0, g_picker.shown);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "F1 must not end the run";
}

}  // namespace

namespace {

// Takes the picker's timer messages of the next milliseconds out of the queue; true if the Esc
// poll's came.
bool EscPollTicks(DWORD forMs) {
    bool ticked = false;
    DWORD const start = GetTickCount();
    while (GetTickCount() - start < forMs) {
        MSG msg;
        while (PeekMessageW(&msg, g_picker.hwnd, WM_TIMER, WM_TIMER, PM_REMOVE))
            if (msg.wParam == kEscPollTimer) ticked = true;
        Sleep(5);
    }
    return ticked;
}

// Outside direct picker mode the program sleeps in the tray: the Esc poll runs only while the
// picker is shown.
TEST_F(PickerWindowTest, EscPollRunsOnlyWhileThePickerIsShown) {
    OpenPicker();
    EXPECT_TRUE(EscPollTicks(200)) << "no Esc poll while shown";
    HidePicker();
    EXPECT_FALSE(EscPollTicks(200)) << "the Esc poll goes on while hidden";
    OpenPicker();
    EXPECT_TRUE(EscPollTicks(200)) << "no Esc poll after opening again";
}

}  // namespace

#include "picker/core/picker_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(PickerGeometry, WorkedExampleTruncatesTheHalves) {
    // 384 x 256 at zoom 10 round (500, 400): dx = trunc(19.2) = 19, dy = trunc(12.8) = 12.
    PickerRect source, window;
    ComputePickerGeometry(500, 400, 384, 256, 10.0f, &source, &window);
    EXPECT_EQ(481, source.left);
    EXPECT_EQ(388, source.top);
    EXPECT_EQ(519, source.right);
    EXPECT_EQ(412, source.bottom);
    EXPECT_EQ(308, window.left);
    EXPECT_EQ(272, window.top);
    EXPECT_EQ(692, window.right);
    EXPECT_EQ(528, window.bottom);
}

TEST(PickerGeometry, SourceSizePerZoom) {
    struct {
        float zoom;
        int sourceWidth, sourceHeight;
    } const cases[] = {
        {1.0f, 384, 256},  // not enlarged
        {2.0f, 192, 128},
        {10.0f, 38, 24},
        {16.0f, 24, 16},  // each screen pixel a 16 x 16 block
    };
    for (const auto& c : cases) {
        PickerRect source, window;
        ComputePickerGeometry(0, 0, 384, 256, c.zoom, &source, &window);
        EXPECT_EQ(c.sourceWidth, source.right - source.left) << c.zoom;
        EXPECT_EQ(c.sourceHeight, source.bottom - source.top) << c.zoom;
    }
}

TEST(PickerGeometry, WindowIsNotKeptInsideTheScreen) {
    PickerRect source, window;
    ComputePickerGeometry(0, 0, 384, 256, 10.0f, &source, &window);
    EXPECT_EQ(-192, window.left);
    EXPECT_EQ(-128, window.top);
    EXPECT_EQ(-19, source.left);
}

TEST(PickerGeometry, CreationZoomIsKeptInRange) {
    EXPECT_EQ(2.0f, CreationZoom(0.0f));
    EXPECT_EQ(2.0f, CreationZoom(-3.0f));
    EXPECT_EQ(16.0f, CreationZoom(16.0f));
    EXPECT_EQ(16.0f, CreationZoom(20.0f));
    EXPECT_EQ(10.0f, CreationZoom(10.0f));
}

TEST(PickerGeometry, ZoomStepsStopAtTheBounds) {
    EXPECT_EQ(16.0f, ZoomIn(16.0f));
    EXPECT_EQ(1.0f, ZoomOut(1.0f));
    float zoom = 10.0f;
    for (int i = 0; i < 6; ++i) zoom = ZoomIn(zoom);
    EXPECT_EQ(16.0f, zoom);
    EXPECT_EQ(16.0f, ZoomIn(zoom));
}

TEST(PickerGeometry, RequestedSizeIsFixed) {
    struct {
        int width, height, screenWidth, screenHeight;
        int expectedWidth, expectedHeight;
    } const cases[] = {
        {385, 257, 1280, 800, 384, 256}, {384, 256, 320, 800, 320, 256},  {384, 100, 1280, 800, 384, 150},
        {50, 256, 1280, 800, 100, 256},  {384, 900, 1280, 800, 384, 800},
    };
    for (const auto& c : cases) {
        int w = c.width, h = c.height;
        FixRequestedSize(&w, &h, c.screenWidth, c.screenHeight);
        EXPECT_EQ(c.expectedWidth, w);
        EXPECT_EQ(c.expectedHeight, h);
    }
}

TEST(PickerGeometry, BoxIsOneMagnifiedPixel) {
    EXPECT_EQ(203, BoxEdge(193, 10.0f));
    EXPECT_EQ(194, BoxEdge(193, 1.0f));
}

}  // namespace

// An arrow key never takes the cursor off the virtual screen, here a 1024 x 768 monitor left of
// a 1280 x 800 primary one: -1024,0 to 1280,800.
TEST(PickerGeometry, NudgeStaysOnTheVirtualScreen) {
    PickerRect const screen = {-1024, 0, 1280, 800};
    struct {
        int x, y, dx, dy;
        int wantX, wantY;
    } const cases[] = {
        {100, 100, 1, 0, 101, 100},     {100, 100, 0, -10, 100, 90},
        {-1024, 5, -1, 0, -1024, 5},   // the left edge, on the second monitor
        {-1020, 5, -10, 0, -1024, 5},  // ten would go past it: stops at the edge
        {-5, 0, -10, -1, -15, 0},      // across the seam between the monitors, not past the top
        {1279, 799, 1, 1, 1279, 799},  // the last pixel
        {1275, 795, 10, 10, 1279, 799}, {0, 400, -1, 0, -1, 400},  // from the primary onto the left monitor
    };
    for (const auto& c : cases) {
        int x = c.x, y = c.y;
        NudgeCursor(&x, &y, c.dx, c.dy, screen);
        EXPECT_EQ(c.wantX, x) << c.x << "," << c.y << " by " << c.dx << "," << c.dy;
        EXPECT_EQ(c.wantY, y) << c.x << "," << c.y << " by " << c.dx << "," << c.dy;
    }
}

// The second press of a double click on the tray icon lands on the picker that its first press
// opened: within the double-click time and rectangle of the opening it is no click on the picker.
TEST(PickerGeometry, PressCompletingTheOpeningDoubleClickIsRecognised) {
    DoubleClickLimits const limits = {500, 4, 4};
    struct {
        unsigned opened, pressed;
        int x, y;
        bool completes;
    } const cases[] = {
        {1000, 1120, 100, 100, true},
        {1000, 1499, 102, 98, true},          // at the edge of the 4 x 4 rectangle
        {1000, 1500, 100, 100, false},        // the double-click time has passed
        {1000, 1120, 103, 100, false},        // moved beyond the rectangle
        {1000, 1120, 100, 97, false},         //
        {1000, 990, 100, 100, true},          // queued before the picker opened
        {0xFFFFFF00u, 0x40, 100, 100, true},  // across the tick count's wrap
        {0xFFFFFF00u, 0x300, 100, 100, false},
    };
    for (const auto& c : cases) {
        OpeningClick const opening = {c.opened, 100, 100};
        EXPECT_EQ(c.completes, CompletesDoubleClick(opening, c.pressed, c.x, c.y, limits))
            << c.opened << " -> " << c.pressed << " at " << c.x << "," << c.y;
    }
}

#include "picker/core/picker_geometry.h"

#include <gtest/gtest.h>

namespace {

PickerRect const kPrimary = {0, 0, 1280, 800};
int const kStrips = kFrameWidth + kStripHeight;
// A 1024 x 768 monitor left of the primary one.
PickerRect const kLeftMonitor = {-1024, 0, 0, 768};

TEST(PickerGeometry, WorkedExampleTruncatesTheHalves) {
    // 384 x 256 at zoom 10 round (500, 400): dx = trunc(19.2) = 19, dy = trunc(12.8) = 12.
    PickerGeometry const g =
        ComputePickerGeometry(500, 400, 384, 256, 10.0f, kPrimary, kFrameWidth, kStripHeight);
    EXPECT_EQ(481, g.source.left);
    EXPECT_EQ(388, g.source.top);
    EXPECT_EQ(519, g.source.right);
    EXPECT_EQ(412, g.source.bottom);
    EXPECT_EQ(308, g.window.left);
    EXPECT_EQ(272, g.window.top);
    EXPECT_EQ(692, g.window.right);
    EXPECT_EQ(528, g.window.bottom);
    // One pixel right of and below the centre.
    EXPECT_EQ(193, g.boxX);
    EXPECT_EQ(129, g.boxY);
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
        PickerGeometry const g =
            ComputePickerGeometry(640, 400, 384, 256, c.zoom, kPrimary, kFrameWidth, kStripHeight);
        EXPECT_EQ(c.sourceWidth, g.source.right - g.source.left) << c.zoom;
        EXPECT_EQ(c.sourceHeight, g.source.bottom - g.source.top) << c.zoom;
        EXPECT_EQ(640 - c.sourceWidth / 2, g.source.left) << c.zoom;
    }
}

// Near the edges of its monitor the window stays inside it, and the view with it: the box marks the
// cursor's own pixel, drawn under the cursor's place in the window where neither the frame nor a
// strip covers that.
TEST(PickerGeometry, WindowStaysInsideTheMonitorAndTheBoxFollowsTheCursor) {
    struct {
        const char* where;
        int x, y;
        const PickerRect& monitor;
        PickerRect window;
    } const cases[] = {
        {"top left", 0, 0, kPrimary, {0, 0, 384, 256}},
        {"top right", 1279, 0, kPrimary, {896, 0, 1280, 256}},
        {"bottom left", 0, 799, kPrimary, {0, 544, 384, 800}},
        {"bottom right", 1279, 799, kPrimary, {896, 544, 1280, 800}},
        {"right edge", 1200, 400, kPrimary, {896, 272, 1280, 528}},
        {"just inside", 192, 128, kPrimary, {0, 0, 384, 256}},
        {"left monitor, far left", -1024, 300, kLeftMonitor, {-1024, 172, -640, 428}},
        {"left monitor, bottom right", -1, 767, kLeftMonitor, {-384, 512, 0, 768}},
        {"left monitor, top", -500, 3, kLeftMonitor, {-692, 0, -308, 256}},
        // Below the shorter monitor, on none: kept inside the nearest.
        {"on no monitor", -10, 790, kLeftMonitor, {-384, 512, 0, 768}},
    };
    int const w = 384, h = 256;
    for (const auto& c : cases) {
        for (float zoom : {1.0f, 10.0f, 16.0f}) {
            SCOPED_TRACE(testing::Message() << c.where << " at zoom " << zoom);
            PickerGeometry const g =
                ComputePickerGeometry(c.x, c.y, w, h, zoom, c.monitor, kFrameWidth, kStripHeight);
            EXPECT_EQ(c.window.left, g.window.left);
            EXPECT_EQ(c.window.top, g.window.top);
            EXPECT_EQ(c.window.right, g.window.right);
            EXPECT_EQ(c.window.bottom, g.window.bottom);
            int const dx = int(w / 2 / zoom), dy = int(h / 2 / zoom);
            ASSERT_EQ(2 * dx, g.source.right - g.source.left);
            ASSERT_EQ(2 * dy, g.source.bottom - g.source.top);
            // StretchBlt draws source column i over window columns i * w / (2 dx) to
            // (i + 1) * w / (2 dx): the box begins one pixel into the cell of the cursor's pixel.
            int const cellX = c.x - g.source.left, cellY = c.y - g.source.top;
            ASSERT_TRUE(cellX >= 0 && cellX < 2 * dx && cellY >= 0 && cellY < 2 * dy);
            EXPECT_EQ(cellX * w / (2 * dx) + 1, g.boxX);
            EXPECT_EQ(cellY * h / (2 * dy) + 1, g.boxY);
            // A cell of the view that the frame or a strip covers: one that begins or ends there.
            auto const covered = [](int cell, int cells, int length, int cover) {
                return cell * length / cells < cover || (cell + 1) * length / cells > length - cover;
            };
            EXPECT_FALSE(covered(cellX, 2 * dx, w, kFrameWidth)) << "the box is under the frame";
            EXPECT_FALSE(covered(cellY, 2 * dy, h, kStrips)) << "the box is under a strip";
            // Where that is not so, the box is in the cell under the cursor's place in the window.
            int const placeX = c.x - g.window.left, placeY = c.y - g.window.top;
            int const underX = placeX * 2 * dx / w, underY = placeY * 2 * dy / h;
            if (placeX < w && !covered(underX, 2 * dx, w, kFrameWidth)) {
                EXPECT_EQ(underX, cellX);
            }
            if (placeY < h && !covered(underY, 2 * dy, h, kStrips)) {
                EXPECT_EQ(underY, cellY);
            }
            // Across, the view shows nothing beyond the monitor but in the cells the frame covers.
            int const coveredCells = (kFrameWidth * 2 * dx + w - 1) / w;
            EXPECT_LE(c.monitor.left - g.source.left, coveredCells);
            EXPECT_LE(g.source.right - c.monitor.right, coveredCells);
        }
    }
}

// The picker's sizes at the scales of 100 to 200 %.
TEST(PickerGeometry, SizesScaleWithTheDpi) {
    struct {
        unsigned dpi;
        int width, height, strip;
    } const cases[] = {{96, 384, 256, 18}, {120, 480, 320, 23}, {144, 576, 384, 27}, {192, 768, 512, 36}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.width, ScaledForDpi(384, c.dpi)) << c.dpi;
        EXPECT_EQ(c.height, ScaledForDpi(256, c.dpi)) << c.dpi;
        EXPECT_EQ(c.strip, ScaledForDpi(kStripHeight, c.dpi)) << c.dpi;
    }
}

// The zoom factor keeps its meaning at 144 DPI: a screen pixel is zoom x zoom pixels of 96 DPI, 15 x
// 15 physical pixels at zoom 10, so the picker of 576 x 384 shows the same 38 x 24 screen pixels.
TEST(PickerGeometry, ScaledPickerShowsTheSameScreenPixels) {
    PickerGeometry const g =
        ComputePickerGeometry(500, 400, 576, 384, 10.0 * 1.5, kPrimary, ScaledForDpi(kFrameWidth, 144),
                              ScaledForDpi(kStripHeight, 144));
    EXPECT_EQ(481, g.source.left);
    EXPECT_EQ(388, g.source.top);
    EXPECT_EQ(519, g.source.right);
    EXPECT_EQ(412, g.source.bottom);
    EXPECT_EQ(212, g.window.left);
    EXPECT_EQ(208, g.window.top);
    EXPECT_EQ(289, g.boxX);
    EXPECT_EQ(193, g.boxY);
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

#include "picker/core/palette_layout.h"

#include <gtest/gtest.h>

namespace {

// Worked examples with the sizes of a full-open colour dialog under Wine: 456 x 326 with a frame
// 6 pixels wide and 26 tall at 96 dots per inch (906 x 621 at 192, 981 x 621 with the wider font
// of an Arabic locale), and the work area of a 1280 x 800 screen. The button is 30 pixels tall at
// 96 dots per inch and grows with the scaling; the values' lines need a column 140 pixels wide at
// 96 dots per inch, 280 at 192.
TEST(PaletteLayout, WorkedExamples) {
    struct {
        const char* name;
        PaletteSize window, client, work;
        int button, narrowest;
        PaletteSize grown;
        PickerRect info;
        bool scrolls;
    } const cases[] = {
        // 326 * 1.5 = 489, + 40 = 529; the client area ends at 529 - 26 = 503, the box at 489 - 30.
        {"96 dpi: below the controls",
         {456, 326},
         {450, 300},
         {1280, 800},
         30,
         140,
         {456, 529},
         {0, 300, 450, 459},
         false},
        // A frame of 76: the client area ends at 529 - 76 = 453, before 489; the box gives way.
        {"a frame thicker than 40",
         {456, 326},
         {450, 250},
         {1280, 800},
         30,
         140,
         {456, 529},
         {0, 250, 450, 423},
         false},
        // 489 * 1.5 = 733, + 40 = 773: still inside 800.
        {"144 dpi: below the controls",
         {681, 489},
         {675, 457},
         {1280, 800},
         45,
         210,
         {681, 773},
         {0, 457, 675, 688},
         false},
        // 621 * 1.5 + 40 = 971 > 800: a column of 1280 - 906 = 374 beside the controls.
        {"192 dpi: beside the controls",
         {906, 621},
         {900, 580},
         {1280, 800},
         60,
         280,
         {1280, 621},
         {900, 0, 1274, 520},
         false},
        // 1280 - 981 = 299 pixels beside them: narrower, still enough.
        {"192 dpi, a wider font: beside",
         {981, 621},
         {975, 580},
         {1280, 800},
         60,
         280,
         {1280, 621},
         {975, 0, 1274, 520},
         false},
        {"just room enough beside",
         {906, 621},
         {900, 580},
         {1186, 800},
         60,
         280,
         {1186, 621},
         {900, 0, 1180, 520},
         false},
        // One pixel less than the values need: as tall as the work area, scrolling.
        {"one pixel too narrow beside",
         {906, 621},
         {900, 580},
         {1185, 800},
         60,
         280,
         {906, 800},
         {0, 580, 900, 699},
         true},
        {"a screen smaller than the dialog",
         {906, 621},
         {900, 580},
         {800, 600},
         60,
         280,
         {906, 600},
         {0, 580, 900, 580},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PaletteLayout const layout = LayOutPaletteDialog(c.window, c.client, c.work, c.button, c.narrowest);
        EXPECT_EQ(c.grown.width, layout.window.width);
        EXPECT_EQ(c.grown.height, layout.window.height);
        EXPECT_EQ(c.info.left, layout.info.left);
        EXPECT_EQ(c.info.top, layout.info.top);
        EXPECT_EQ(c.info.right, layout.info.right);
        EXPECT_EQ(c.info.bottom, layout.info.bottom);
        EXPECT_EQ(c.scrolls, layout.scrolls);
    }
}

}  // namespace

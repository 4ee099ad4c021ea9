#include "tray/core/notification_area.h"

#include <gtest/gtest.h>

namespace {

bool Same(const AreaRect& a, const AreaRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A 1280 x 800 screen; the taskbar 40 pixels deep at each edge in turn.
TEST(NotificationArea, FirstRuleThatAppliesWins) {
    AreaRect const work = {0, 0, 1280, 760};
    AreaRect const notify = {1100, 764, 1276, 796};
    struct {
        const char* what;
        TaskbarFacts facts;
        AreaRect expected;
    } const cases[] = {
        {"notification window",
         {true, notify, true, TaskbarEdge::kBottom, {0, 760, 1280, 800}, true, {0, 760, 1280, 800}, work},
         notify},
        // Rule 2: 100 to 16 pixels before the taskbar's end.
        {"bottom taskbar",
         {false, {}, true, TaskbarEdge::kBottom, {0, 760, 1280, 800}, true, {}, work},
         {1180, 760, 1264, 800}},
        {"top taskbar",
         {false, {}, true, TaskbarEdge::kTop, {0, 0, 1280, 40}, true, {}, work},
         {1180, 0, 1264, 40}},
        {"left taskbar",
         {false, {}, true, TaskbarEdge::kLeft, {0, 0, 60, 800}, true, {}, work},
         {0, 700, 60, 784}},
        {"right taskbar",
         {false, {}, true, TaskbarEdge::kRight, {1220, 0, 1280, 800}, true, {}, work},
         {1220, 700, 1280, 784}},
        // Rule 3: the taskbar window's last 150 x 30 pixels.
        {"taskbar window only",
         {false, {}, false, TaskbarEdge::kBottom, {}, true, {0, 760, 1280, 800}, work},
         {1130, 770, 1280, 800}},
        {"small taskbar window",
         {false, {}, false, TaskbarEdge::kBottom, {}, true, {10, 10, 110, 30}, work},
         {10, 10, 110, 30}},
        // Rule 4: the work area's bottom-right corner.
        {"no taskbar at all",
         {false, {}, false, TaskbarEdge::kBottom, {}, false, {}, work},
         {1130, 730, 1280, 760}},
    };
    for (const auto& c : cases) {
        AreaRect const got = NotificationAreaRect(c.facts);
        EXPECT_TRUE(Same(c.expected, got))
            << c.what << ": " << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
}

}  // namespace

#include "picker/core/custom_colour_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Colours = std::vector<uint32_t>;

// Boxes of a dialog: the first black, then the stored history.
Colours Boxes(uint32_t first, const Colours& history) {
    Colours boxes = {first};
    boxes.insert(boxes.end(), history.begin(), history.end());
    boxes.resize(kHistoryBoxes, 0);
    return boxes;
}

Colours History(Colours colours) {
    colours.resize(kHistoryBoxes - 1, 0);
    return colours;
}

struct MergeCase {
    const char* name;
    Colours opened;  // the boxes as the dialog opened
    Colours closed;  // and as it closes
    Colours storedNow;
    bool stored;
    Colours merged;
};

uint32_t const kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kGrey = 0x808080, kWhite = 0xFFFFFF;

TEST(CustomColourHistory, Merge) {
    Colours fifteen;
    for (uint32_t i = 1; i <= 15; ++i) fifteen.push_back(i);
    Colours const fifteenShifted = {kBlue, kRed, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    const MergeCase cases[] = {
        {"first box left black: nothing", Boxes(0, {kGrey}), Boxes(0, {kGrey}), History({kGrey}), false, {}},
        {"black even when another dialog stored meanwhile",
         Boxes(0, {}),
         Boxes(0, {}),
         History({kRed}),
         false,
         {}},
        {"a new colour goes first", Boxes(0, {kGrey}), Boxes(kRed, {kGrey}), History({kGrey}), true,
         Boxes(kRed, {kGrey})},
        // Nobody else stored: the boxes as they are, a box the user overwrote included.
        {"boxes as they are", Boxes(0, {kGrey, kWhite}), Boxes(kRed, {kGreen, kWhite}),
         History({kGrey, kWhite}), true, Boxes(kRed, {kGreen, kWhite})},
        {"the sixteenth colour is still written", Boxes(0, fifteen), Boxes(kRed, fifteen), History(fifteen),
         true, Boxes(kRed, fifteen)},
        // Red stored by the first of two dialogs, then blue put into the second: both kept.
        {"another dialog stored meanwhile", Boxes(0, {kGrey}), Boxes(kBlue, {kGrey}), History({kRed, kGrey}),
         true, Boxes(kBlue, {kRed, kGrey})},
        {"two colours added here, one there", Boxes(0, {kGrey}), Boxes(kBlue, {kGreen}),
         History({kRed, kGrey}), true, Boxes(kBlue, {kGreen, kRed, kGrey})},
        {"sixteen at most", Boxes(0, fifteen), Boxes(kBlue, fifteen),
         History({kRed, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}), true, fifteenShifted},
    };
    for (const MergeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Colours merged(kHistoryBoxes, 0xDEAD);
        EXPECT_EQ(MergeCustomColours(c.opened.data(), c.closed.data(), c.storedNow.data(), merged.data()),
                  c.stored);
        if (c.stored) {
            EXPECT_EQ(merged, c.merged);
        }
    }
}

}  // namespace

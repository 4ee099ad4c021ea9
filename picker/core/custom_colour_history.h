#pragma once
#include <stdint.h>

// The colour dialog's sixteen custom colours kept as a history in the settings: the stored colours 0
// to 14 are shown in the boxes 2 to 16, and the first box starts empty (black) for a new colour.

int const kHistoryBoxes = 16;

// What to store when a dialog closes, given the boxes as it opened and as it closes and the history
// as stored now. False when the first box is still black: nothing is stored. If the stored history
// is still the one the dialog showed, that is the boxes as they are; if another colour dialog has
// stored colours meanwhile, the boxes this dialog changed come first, in box order, followed by the
// stored history, so that no colour added by either is lost; sixteen at most either way.
bool MergeCustomColours(const uint32_t opened[kHistoryBoxes], const uint32_t closed[kHistoryBoxes],
                        const uint32_t storedNow[kHistoryBoxes - 1], uint32_t merged[kHistoryBoxes]);

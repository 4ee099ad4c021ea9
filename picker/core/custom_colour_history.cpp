#include "picker/core/custom_colour_history.h"

bool MergeCustomColours(const uint32_t opened[kHistoryBoxes], const uint32_t closed[kHistoryBoxes],
                        const uint32_t storedNow[kHistoryBoxes - 1], uint32_t merged[kHistoryBoxes]) {
    if (closed[0] == 0) return false;
    bool storedMeanwhile = false;
    for (int i = 1; i < kHistoryBoxes; ++i) storedMeanwhile |= storedNow[i - 1] != opened[i];
    int count = 0;
    if (!storedMeanwhile) {
        for (; count < kHistoryBoxes; ++count) merged[count] = closed[count];
        return true;
    }
    for (int i = 0; i < kHistoryBoxes; ++i)
        if (closed[i] != opened[i]) merged[count++] = closed[i];
    for (int i = 0; i < kHistoryBoxes - 1 && count < kHistoryBoxes; ++i) merged[count++] = storedNow[i];
    while (count < kHistoryBoxes) merged[count++] = 0;
    return true;
}

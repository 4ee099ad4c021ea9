#include "picker/hue_rounding.h"

#include <gtest/gtest.h>

namespace {

// An exact half goes to the even neighbour, as Windows' VarRound does; Wine's VarRound rounds it
// up, so 232.5 and 0.5 catch a rounder that leaves ties to the system. The hues are those of real
// colours: red 0, green 1, blue 8 gives exactly 232.5; red 255, green 0, blue 1 gives 359.76...;
// red 1, green 2, blue 3 gives 209.99...
TEST(HueRounding, HalfToEvenThroughVarRound) {
    struct {
        double hue;
        double expected;
    } const cases[] = {
        {232.5, 232.0},
        {233.5, 234.0},
        {359.76470588235293, 360.0},
        {209.99999999999997, 210.0},
        {0.5, 0.0},
        {1.5, 2.0},
        {359.5, 360.0},
        {0.0, 0.0},
        {120.49, 120.0},
        {120.51, 121.0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, RoundHueHalfEven(c.hue)) << "hue " << c.hue;
}

}  // namespace

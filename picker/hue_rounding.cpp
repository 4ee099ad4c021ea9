#include "picker/hue_rounding.h"

#include <windows.h>
#include <oleauto.h>

#include <cmath>

double RoundHueHalfEven(double hue) {
    VARIANT in;
    VARIANT out;
    VariantInit(&in);
    VariantInit(&out);
    in.vt = VT_R8;
    in.dblVal = hue;
    double rounded = std::floor(hue + 0.5);
    if (SUCCEEDED(VarRound(&in, 0, &out)) && out.vt == VT_R8)
        rounded = double(static_cast<long long>(out.dblVal));
    VariantClear(&in);
    VariantClear(&out);
    // Systems disagree on an exact half: Windows' VarRound goes to the even neighbour, Wine's goes
    // up. The colour texts must read the same everywhere, so a tie is settled here.
    double const below = std::floor(hue);
    if (hue - below == 0.5) rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
    return rounded;
}

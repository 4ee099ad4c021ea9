#include "picker/hue_rounding.h"

#include "base/system_calls.h"

#include <windows.h>
#include <oleauto.h>

double RoundHueHalfEven(double hue) {
    // Hues lie in 0 up to 360, so truncation is the floor here; no maths library needed.
    long long const below = static_cast<long long>(hue);
    double rounded = double(static_cast<long long>(hue + 0.5));
    VARIANT in = {};  // VT_EMPTY, as VariantInit makes it
    VARIANT out = {};
    in.vt = VT_R8;
    in.dblVal = hue;
    if (SUCCEEDED(VariantRound(&in, 0, &out)) && out.vt == VT_R8)
        rounded = double(static_cast<long long>(out.dblVal));
    VariantRelease(&in);
    VariantRelease(&out);
    // Systems disagree on an exact half: Windows' VarRound goes to the even neighbour, Wine's goes
    // up. The colour texts must read the same everywhere, so a tie is settled here.
    if (hue - double(below) == 0.5) rounded = double(below % 2 == 0 ? below : below + 1);
    return rounded;
}

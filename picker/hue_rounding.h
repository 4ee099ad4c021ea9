#pragma once

// The hue is rounded by the system's own VarRound (half to even), so the palette process and the
// picker print the same whole degree the system's number conversions would.
double RoundHueHalfEven(double hue /* 0 up to 360 */);

#pragma once
#include <cstddef>
#include <cstdint>

// Text forms of a colour value 0x00BBGGRR (red in the low byte). Red, green and blue are always the
// three low bytes, whatever the top byte holds, so CLR_INVALID reads as white.

size_t const kColourTextChars = 256;  // every RGB form and the label fit, with the terminator
size_t const kInfoTextChars = 4096;

void HexForm(uint32_t colour, char16_t* out);           // FF8000
void HexAlphaForm(uint32_t colour, char16_t* out);      // FF8000FF
void HexCommaForm(uint32_t colour, char16_t* out);      // FF,80,00
void DecimalForm(uint32_t colour, char16_t* out);       // 255,128,0
void DecimalAlphaForm(uint32_t colour, char16_t* out);  // 255,128,0,255
void LabelForm(uint32_t colour, char16_t* out);         // eight blanks, #FF8000 || 255,128,0, eight blanks

struct Hsv {
    double hue;         // degrees, 0 up to (not including) 360
    double saturation;  // 0 to 1
    double value;       // 0 to 1
};

// Each channel is divided by 255 in single precision and then widened; the rest is in double.
Hsv HsvFromColour(uint32_t colour);

// Rounds the hue to a whole number, an exact half going to the even neighbour. The exe rounds
// through the system's VarRound; the native build passes the C library's equivalent.
using HueRounder = double (*)(double);

// hue, saturation and value as "%d,%d,%d" or "%02X,%02X,%02X"; saturation and value truncated.
void HsvDecimalForm(uint32_t colour, HueRounder round, char16_t* out);
void HsvHexForm(uint32_t colour, HueRounder round, char16_t* out);

// The multi-line info text: every form, an empty line, then the five help lines (string IDs 42 to
// 46), each ending in CR LF; a help line that reads from right to left is embedded as such
// (U+202B ... U+202C). Cut cleanly at the buffer's end. Returns the length written.
size_t InfoText(uint32_t colour, HueRounder round, const char16_t* const helpLines[5], char16_t* out,
                size_t capacity);

#include "picker/core/colour_forms.h"

#include "base/core/bounded_text.h"
#include "base/core/text.h"

namespace {

char16_t const kRightToLeftEmbedding = u'\x202B';
char16_t const kPopDirectionalFormatting = u'\x202C';

int Red(uint32_t colour) {
    return int(colour & 0xFF);
}
int Green(uint32_t colour) {
    return int((colour >> 8) & 0xFF);
}
int Blue(uint32_t colour) {
    return int((colour >> 16) & 0xFF);
}

void PutHexTriple(BoundedText& w, int a, int b, int c, const char16_t* separator) {
    w.PutHex(a), w.Put(separator), w.PutHex(b), w.Put(separator), w.PutHex(c);
}

void PutDecimalTriple(BoundedText& w, int a, int b, int c) {
    w.PutDecimal(a), w.Put(u','), w.PutDecimal(b), w.Put(u','), w.PutDecimal(c);
}

struct HsvNumbers {
    int hue, saturation, value;
};

HsvNumbers HsvWhole(uint32_t colour, HueRounder round) {
    Hsv const hsv = HsvFromColour(colour);
    return {int(round(hsv.hue)), int(hsv.saturation * 100.0), int(hsv.value * 100.0)};
}

}  // namespace

void HexForm(uint32_t colour, char16_t* out) {
    BoundedText w(out, kColourTextChars);
    PutHexTriple(w, Red(colour), Green(colour), Blue(colour), u"");
}

void HexAlphaForm(uint32_t colour, char16_t* out) {
    BoundedText w(out, kColourTextChars);
    PutHexTriple(w, Red(colour), Green(colour), Blue(colour), u"");
    w.Put(u"FF");
}

void HexCommaForm(uint32_t colour, char16_t* out) {
    BoundedText w(out, kColourTextChars);
    PutHexTriple(w, Red(colour), Green(colour), Blue(colour), u",");
}

void DecimalForm(uint32_t colour, char16_t* out) {
    BoundedText w(out, kColourTextChars);
    PutDecimalTriple(w, Red(colour), Green(colour), Blue(colour));
}

void DecimalAlphaForm(uint32_t colour, char16_t* out) {
    BoundedText w(out, kColourTextChars);
    PutDecimalTriple(w, Red(colour), Green(colour), Blue(colour));
    w.Put(u",255");
}

void LabelForm(uint32_t colour, char16_t* out) {
    BoundedText w(out, kColourTextChars);
    w.Put(u"        #");
    PutHexTriple(w, Red(colour), Green(colour), Blue(colour), u"");
    w.Put(u" || ");
    PutDecimalTriple(w, Red(colour), Green(colour), Blue(colour));
    w.Put(u"        ");
}

Hsv HsvFromColour(uint32_t colour) {
    double const r = double(float(Red(colour)) / 255.0f);
    double const g = double(float(Green(colour)) / 255.0f);
    double const b = double(float(Blue(colour)) / 255.0f);
    double const max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    double const min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    Hsv hsv = {0.0, 0.0, max};
    hsv.saturation = max == 0.0 ? 0.0 : (max - min) / max;
    if (hsv.saturation == 0.0) return hsv;
    double const d = max - min;
    double h;
    if (r == max)
        h = (g - b) / d;
    else if (g == max)
        h = (b - r) / d + 2.0;
    else
        h = (r - g) / d + 4.0;
    h *= 60.0;
    if (h < 0.0) h += 360.0;
    hsv.hue = h;
    return hsv;
}

void HsvDecimalForm(uint32_t colour, HueRounder round, char16_t* out) {
    HsvNumbers const n = HsvWhole(colour, round);
    BoundedText w(out, kColourTextChars);
    PutDecimalTriple(w, n.hue, n.saturation, n.value);
}

void HsvHexForm(uint32_t colour, HueRounder round, char16_t* out) {
    HsvNumbers const n = HsvWhole(colour, round);
    BoundedText w(out, kColourTextChars);
    PutHexTriple(w, n.hue, n.saturation, n.value, u",");
}

size_t InfoText(uint32_t colour, HueRounder round, const char16_t* const helpLines[5], char16_t* out,
                size_t capacity) {
    char16_t form[kColourTextChars];
    BoundedText w(out, capacity);
    w.Put(u'#');
    HexForm(colour, form), w.Put(form);
    w.Put(u"\r\n"), HexCommaForm(colour, form), w.Put(form);
    w.Put(u"\r\n"), DecimalForm(colour, form), w.Put(form);
    w.Put(u"\r\n"), DecimalAlphaForm(colour, form), w.Put(form);
    w.Put(u"\r\nHSB/HSV:"), HsvDecimalForm(colour, round, form), w.Put(form);
    w.Put(u"\r\nHSB/HSV:"), HsvHexForm(colour, round, form), w.Put(form);
    w.Put(u"\r\n\r\n");
    // The info box reads from left to right in every language, for the values; a help line in
    // Arabic, Persian or Hebrew is embedded right to left, so that it reads as its language does.
    for (int i = 0; i < 5; ++i) {
        bool const rightToLeft = ReadsRightToLeft(helpLines[i]);
        if (rightToLeft) w.Put(kRightToLeftEmbedding);
        w.Put(helpLines[i]);
        if (rightToLeft) w.Put(kPopDirectionalFormatting);
        w.Put(u"\r\n");
    }
    return w.Length();
}

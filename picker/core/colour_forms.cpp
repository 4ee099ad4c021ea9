#include "picker/core/colour_forms.h"

#include "base/core/text.h"

namespace {

char16_t const kHexDigits[] = u"0123456789ABCDEF";
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

// Appends to a text of known capacity, always keeping it terminated.
// A text that does not fit is cut at the last whole character that does: once one character is
// refused, every later one is too, and a surrogate pair is never split.
struct TextWriter {
    char16_t* out;
    size_t capacity;
    size_t length;
    bool full;

    void Put(char16_t c) {
        if (!full && length + (IsHighSurrogate(c) ? 2 : 1) < capacity)
            out[length++] = c;
        else
            full = true;
        if (capacity) out[length] = 0;
    }
    void Put(const char16_t* text) {
        while (text && *text) Put(*text++);
    }
    // %02X: upper case, at least two digits.
    void Hex(int value) {
        char16_t digits[8];
        int n = 0;
        unsigned v = unsigned(value);
        do digits[n++] = kHexDigits[v & 0xF];
        while ((v >>= 4) != 0);
        if (n < 2) digits[n++] = u'0';
        while (n) Put(digits[--n]);
    }
    // %d
    void Decimal(int value) {
        char16_t digits[kDecimalChars];
        FormatDecimal(value, digits);
        Put(digits);
    }
};

TextWriter Writer(char16_t* out, size_t capacity = kColourTextChars) {
    if (capacity) out[0] = 0;
    return TextWriter{out, capacity, 0, false};
}

void PutHexTriple(TextWriter& w, int a, int b, int c, const char16_t* separator) {
    w.Hex(a), w.Put(separator), w.Hex(b), w.Put(separator), w.Hex(c);
}

void PutDecimalTriple(TextWriter& w, int a, int b, int c) {
    w.Decimal(a), w.Put(u','), w.Decimal(b), w.Put(u','), w.Decimal(c);
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
    TextWriter w = Writer(out);
    PutHexTriple(w, Red(colour), Green(colour), Blue(colour), u"");
}

void HexAlphaForm(uint32_t colour, char16_t* out) {
    TextWriter w = Writer(out);
    PutHexTriple(w, Red(colour), Green(colour), Blue(colour), u"");
    w.Put(u"FF");
}

void HexCommaForm(uint32_t colour, char16_t* out) {
    TextWriter w = Writer(out);
    PutHexTriple(w, Red(colour), Green(colour), Blue(colour), u",");
}

void DecimalForm(uint32_t colour, char16_t* out) {
    TextWriter w = Writer(out);
    PutDecimalTriple(w, Red(colour), Green(colour), Blue(colour));
}

void DecimalAlphaForm(uint32_t colour, char16_t* out) {
    TextWriter w = Writer(out);
    PutDecimalTriple(w, Red(colour), Green(colour), Blue(colour));
    w.Put(u",255");
}

void LabelForm(uint32_t colour, char16_t* out) {
    TextWriter w = Writer(out);
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
    TextWriter w = Writer(out);
    PutDecimalTriple(w, n.hue, n.saturation, n.value);
}

void HsvHexForm(uint32_t colour, HueRounder round, char16_t* out) {
    HsvNumbers const n = HsvWhole(colour, round);
    TextWriter w = Writer(out);
    PutHexTriple(w, n.hue, n.saturation, n.value, u",");
}

size_t InfoText(uint32_t colour, HueRounder round, const char16_t* const helpLines[5], char16_t* out,
                size_t capacity) {
    char16_t form[kColourTextChars];
    TextWriter w = Writer(out, capacity);
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
    return w.length;
}

#include "picker/core/hot_key.h"

#include "base/core/bounded_text.h"

namespace {

int const kKnownModifiers = kHotKeyAlt | kHotKeyControl | kHotKeyShift | kHotKeyWin;

// Virtual-key codes of the keys that are only modifiers: Shift, Ctrl, Alt, both Windows keys and
// the left and right variants of the first three.
bool IsModifierKey(int key) {
    return (key >= 0x10 && key <= 0x12) || key == 0x5B || key == 0x5C || (key >= 0xA0 && key <= 0xA5);
}

struct NamedKey {
    int key;
    const char16_t* name;
};

// The keys whose names do not depend on the keyboard layout, by virtual-key code.
NamedKey const kNamedKeys[] = {
    {0x08, u"Backspace"},    {0x09, u"Tab"},       {0x0C, u"Clear"},       {0x0D, u"Enter"},
    {0x13, u"Pause"},        {0x14, u"Caps Lock"}, {0x1B, u"Esc"},         {0x20, u"Space"},
    {0x21, u"Page Up"},      {0x22, u"Page Down"}, {0x23, u"End"},         {0x24, u"Home"},
    {0x25, u"Left"},         {0x26, u"Up"},        {0x27, u"Right"},       {0x28, u"Down"},
    {0x2C, u"Print Screen"}, {0x2D, u"Insert"},    {0x2E, u"Delete"},      {0x5D, u"Menu"},
    {0x6A, u"Num *"},        {0x6B, u"Num +"},     {0x6D, u"Num -"},       {0x6E, u"Num ."},
    {0x6F, u"Num /"},        {0x90, u"Num Lock"},  {0x91, u"Scroll Lock"},
};

const char16_t* TableName(int key) {
    for (NamedKey const& named : kNamedKeys)
        if (named.key == key) return named.name;
    return nullptr;
}

// Letters, digits, function keys and the keypad's digits are named from their codes.
bool IsComposedName(int key) {
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= 0x60 && key <= 0x69) ||
           (key >= 0x70 && key <= 0x87);
}

void PutKeyName(BoundedText& out, int key, const char16_t* keyName) {
    if (key >= '0' && key <= '9') return out.Put(char16_t(key));
    if (key >= 'A' && key <= 'Z') return out.Put(char16_t(key));
    if (key >= 0x60 && key <= 0x69) {
        out.Put(u"Num ");
        return out.Put(char16_t(u'0' + key - 0x60));
    }
    if (key >= 0x70 && key <= 0x87) {
        out.Put(u'F');
        return out.PutDecimal(key - 0x70 + 1);
    }
    if (const char16_t* const name = TableName(key)) return out.Put(name);
    if (keyName && *keyName) return out.Put(keyName);
    out.Put(u"0x");
    out.PutHex(key);
}

// A number exactly as the store writes it ("%d"): an optional minus sign, then 1 to 10 digits
// that fit an int. False for anything else.
bool ParseStoredNumber(const char16_t* text, int* value) {
    bool const negative = *text == u'-';
    if (negative) ++text;
    if (!*text) return false;
    long long number = 0;
    int digits = 0;
    for (; *text; ++text) {
        if (*text < u'0' || *text > u'9' || ++digits > 10) return false;
        number = number * 10 + (*text - u'0');
    }
    if (negative) number = -number;
    if (number < -2147483647LL - 1 || number > 2147483647LL) return false;
    *value = int(number);
    return true;
}

}  // namespace

bool IsValidHotKey(int combination) {
    if (combination <= 0 || combination > 0xFFFF) return false;
    int const modifiers = HotKeyModifiers(combination);
    int const key = HotKeyKey(combination);
    return (modifiers & ~kKnownModifiers) == 0 && key >= 0x08 && key <= 0xFE && !IsModifierKey(key);
}

int HotKeyFromSetting(const char16_t* stored) {
    int value = 0;
    if (!stored || !ParseStoredNumber(stored, &value)) return kDefaultHotKey;
    if (value == kNoHotKey) return kNoHotKey;
    return IsValidHotKey(value) ? value : kDefaultHotKey;
}

bool HasOwnKeyName(int key) {
    return IsComposedName(key) || TableName(key) != nullptr;
}

void HotKeyName(int combination, const char16_t* keyName, char16_t* out) {
    BoundedText writer(out, kHotKeyNameChars);
    if (combination == kNoHotKey) return;
    // In the order Windows' own texts use: "Win+Ctrl+Alt+Shift+".
    struct Modifier {
        int bit;
        const char16_t* name;
    };
    static Modifier const kOrder[] = {
        {kHotKeyWin, u"Win+"}, {kHotKeyControl, u"Ctrl+"}, {kHotKeyAlt, u"Alt+"}, {kHotKeyShift, u"Shift+"}};
    int const modifiers = HotKeyModifiers(combination);
    for (Modifier const& modifier : kOrder)
        if (modifiers & modifier.bit) writer.Put(modifier.name);
    PutKeyName(writer, HotKeyKey(combination), keyName);
}

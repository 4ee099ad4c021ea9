#include "settings/core/settings_table.h"

#include "base/core/text.h"

const char16_t kProgramSection[] = u"Program";

namespace {

// Indexed by Setting.
SettingInfo const kSettings[] = {
    {u"lng", 1},   {u"disable_dark_theme", 0}, {u"start_tray", 0}, {u"tray_if_minimize", 1},
    {u"c_wnd", 2}, {u"last_rgb_color", 0},     {u"hotkey", 3139},
};

}  // namespace

SettingInfo const& SettingOf(Setting setting) {
    return kSettings[static_cast<int>(setting)];
}

void CustomColourKey(int index, char16_t* out) {
    static const char16_t kPrefix[] = u"last_color_";
    size_t length = 0;
    for (const char16_t* c = kPrefix; *c; ++c) out[length++] = *c;
    FormatDecimal(index, out + length);
}

int LimitSettingNumber(int value, int minimum, int maximum) {
    if (minimum == -1 || maximum == -1) return value;
    if (value > maximum) value = maximum;
    if (value < minimum) value = minimum;
    return value;
}

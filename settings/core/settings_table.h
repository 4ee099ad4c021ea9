#pragma once
#include <stddef.h>

// Every setting the program keeps: integers stored as decimal text, each under its key in the
// section "Program". The keys are frozen: users' machines hold them.

enum class Setting {
    kLanguage,          // "lng": the language slot; default: the user's language (chosen at start)
    kDisableDarkTheme,  // "disable_dark_theme": non-zero keeps every window light (set by hand)
    kStartTray,         // "start_tray": 1 keeps the main dialog hidden at start
    kTrayIfMinimize,    // "tray_if_minimize": non-zero sends a minimized main dialog to the tray
    kPage,              // "c_wnd": the main dialog's page selected last, 0 to 3 (2 opens on page 0)
    kLastColour,        // "last_rgb_color": the colour taken last, 0x00BBGGRR
    kHotKey,            // "hotkey": the picker's global hot key, (modifiers << 8) | virtual key; 0: none
};

struct SettingInfo {
    const char16_t* key;
    int defaultValue;
};

SettingInfo const& SettingOf(Setting setting);

extern const char16_t kProgramSection[];  // "Program"

// Colours are kept as 0x00BBGGRR. Reading keeps these bits only, so that a damaged value (-1, an
// overflow) reads as a colour and is never handed on, or written back, with a top byte.
unsigned const kColourBits = 0x00FFFFFF;

// The palette's custom colours are kept as "last_color_0" to "last_color_15".
int const kCustomColourCount = 16;
size_t const kCustomColourKeyChars = 16;
// The key for a custom colour slot (0 to 15), e.g. "last_color_7".
void CustomColourKey(int index, char16_t* out /* kCustomColourKeyChars */);

// Stored values are read without bounds; a caller that wants them applies these: no bounds when
// either is -1, otherwise at most maximum, then at least minimum (so a minimum above the maximum wins).
int LimitSettingNumber(int value, int minimum, int maximum);

#include "app/hot_key.h"

#include "base/wide_text.h"
#include "settings/settings_store.h"

namespace {

HWND g_hotKeyOwner;
int g_combination;
bool g_registered;
bool g_taken;

// Puts g_combination in force in place of whatever was registered before.
void Apply() {
    if (g_registered) UnregisterHotKey(g_hotKeyOwner, kPickerHotKeyId);
    g_registered = false;
    g_taken = false;
    if (!g_hotKeyOwner || g_combination == kNoHotKey) return;
    // Held down, the combination opens the picker once, not again with every repeat.
    UINT const modifiers = UINT(HotKeyModifiers(g_combination)) | MOD_NOREPEAT;
    g_registered = RegisterHotKey(g_hotKeyOwner, kPickerHotKeyId, modifiers, UINT(HotKeyKey(g_combination)));
    // Another program's registration is the one refusal the user can do something about; the
    // other reasons (a combination the system keeps for itself) read the same to a user.
    g_taken = !g_registered;
}

}  // namespace

void RegisterPickerHotKey(HWND host, StartSettings const& settings) {
    g_hotKeyOwner = host;
    g_combination = HotKeyFromSetting(settings.hotKeyStored ? Utf16(settings.hotKey) : nullptr);
    Apply();
}

void ReleasePickerHotKey() {
    if (g_registered) UnregisterHotKey(g_hotKeyOwner, kPickerHotKeyId);
    g_registered = false;
    g_hotKeyOwner = nullptr;
}

void ChoosePickerHotKey(int combination) {
    g_combination = combination;
    Apply();
    // A taken combination is stored all the same: a later start may get it.
    WriteSetting(Setting::kHotKey, combination);
}

int PickerHotKey() {
    return g_combination;
}

bool PickerHotKeyTaken() {
    return g_taken;
}

void PickerHotKeyName(int combination, wchar_t* out) {
    int const key = HotKeyKey(combination);
    wchar_t keyName[kHotKeyNameChars] = {};
    if (!HasOwnKeyName(key)) {
        // The character the key types without Shift, as its keycap shows it ("Ö", "#").
        if (UINT const character = MapVirtualKeyW(UINT(key), MAPVK_VK_TO_CHAR) & 0xFFFF) {
            keyName[0] = wchar_t(character);
            CharUpperBuffW(keyName, 1);
        } else {
            GetKeyNameTextW(LONG(MapVirtualKeyW(UINT(key), MAPVK_VK_TO_VSC) << 16), keyName,
                            int(kHotKeyNameChars));
        }
    }
    HotKeyName(combination, Utf16(keyName), Utf16(out));
}

#include "base/registry_text.h"

#include "base/scoped_handle.h"

namespace {

bool IsWholeText(DWORD type, const wchar_t* text, DWORD bytes) {
    if (bytes % 2 != 0) return false;
    DWORD const units = bytes / 2;
    if (type == REG_SZ || type == REG_EXPAND_SZ) return units >= 1 && text[units - 1] == 0;
    if (type == REG_MULTI_SZ) return units >= 2 && text[units - 1] == 0 && text[units - 2] == 0;
    return false;
}

}  // namespace

bool ReadRegistryText(HKEY key, const wchar_t* subKey, const wchar_t* valueName, wchar_t* out, size_t chars) {
    if (!out || !chars) return false;
    out[0] = 0;
    if (chars > MAXDWORD / sizeof(wchar_t)) return false;
    ScopedKey opened;
    if (subKey && RegOpenKeyExW(key, subKey, 0, KEY_READ, opened.Receive()) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD bytes = DWORD(chars * sizeof(wchar_t));
    LONG const status = RegQueryValueExW(opened.Held() ? opened.get() : key, valueName, nullptr, &type,
                                         reinterpret_cast<BYTE*>(out), &bytes);
    // A whole text ends in its terminator inside out.
    if (status == ERROR_SUCCESS && bytes <= chars * sizeof(wchar_t) && IsWholeText(type, out, bytes))
        return true;
    out[0] = 0;
    return false;
}

#include "settings/core/settings_file.h"

#include "base/core/text.h"

bool PortableSettingsPath(const char16_t* exePath, char16_t* out, size_t capacity) {
    if (!out || !capacity) return false;
    out[0] = 0;
    if (!exePath || !*exePath) return false;
    size_t end = TextLength(exePath);
    for (size_t i = end; i > 0; --i) {
        char16_t const c = exePath[i - 1];
        if (c == u'\\' || c == u'/') break;
        if (c == u'.') {
            end = i - 1;
            break;
        }
    }
    static char16_t const kExtension[] = u".ini";
    if (end + TextLength(kExtension) >= capacity) return false;
    for (size_t i = 0; i < end; ++i) out[i] = exePath[i];
    for (size_t i = 0; kExtension[i]; ++i) out[end + i] = kExtension[i];
    out[end + TextLength(kExtension)] = 0;
    return true;
}

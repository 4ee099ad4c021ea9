#pragma once

#include <stddef.h>

#include "lang/core/language_archive.h"

// The text for a string ID; never null. With an external language file in force only its table is
// consulted; otherwise the current slot, then the reference slot. A missing text becomes a visible
// placeholder ("str:%d?", "str1:%d?" or "str2:%d?") formatted into fallback, cut to fallbackChars.
const char16_t* LookupText(const LanguageArchive& archive, int languageIndex, bool externalInForce,
                           const char16_t* const* externalTable, int id, char16_t* fallback,
                           size_t fallbackChars);

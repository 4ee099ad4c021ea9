#pragma once

#include <stddef.h>

#include "lang/core/language_archive.h"

// "str2:-2147483648?", the longest placeholder, and its terminator.
size_t const kPlaceholderChars = 18;
int const kPlaceholderRingSize = 8;

// The placeholders of missing texts. Each string ID has a slot of its own for each kind, so a
// placeholder stays valid and names its own ID as long as the store lives, however many a caller
// holds at once (the colour dialog's five help lines). IDs outside 0 to 254, which the program
// never asks for, take turns in a small ring instead.
struct PlaceholderStore {
    char16_t missing[kStringIdCount][kPlaceholderChars];   // "str2:%d?": no table has the text
    char16_t external[kStringIdCount][kPlaceholderChars];  // "str:%d?": the language file lacks it
    char16_t ring[kPlaceholderRingSize][kPlaceholderChars];
    unsigned next;
};

// The text for a string ID; never null. With an external language file in force only its table is
// consulted; otherwise the current slot, then the reference slot. A missing text becomes a visible
// placeholder ("str:%d?", "str1:%d?" or "str2:%d?") kept in placeholders.
const char16_t* LookupText(const LanguageArchive& archive, int languageIndex, bool externalInForce,
                           const char16_t* const* externalTable, int id, PlaceholderStore* placeholders);

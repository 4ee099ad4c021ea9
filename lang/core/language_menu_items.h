#pragma once

#include "base/core/growing_text.h"
#include "lang/core/language_archive.h"

// The commands of the language menu and the texts of its language items.

int const kChooseLanguageCommand = 10;  // 10 + slot: choose that built-in language
int const kTranslateCommand = 1000;     // write and open the translation template
int const kLoadLanguageFileCommand = 1001;

// The menu lists the slots whose name is longer than five characters: a nameless slot (the
// trailing blank lines of the archive) has none.
bool IsListedLanguage(const LanguageArchive& archive, int slot);

// "%d.) %s | %d %%" with the slot, its name and its completeness. The tab inside the name puts
// the native name and the percentage into the menu's right-hand column.
void FormatLanguageItem(const LanguageArchive& archive, int slot, GrowingText* out);

// The language slot a menu command chooses, or -1 for any other command.
int ChosenLanguage(int command);

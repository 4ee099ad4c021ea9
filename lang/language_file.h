#pragma once
#include <windows.h>

#include "base/core/growing_text.h"

// Translators' files: the translation template in the temporary folder, and a language file of
// the user's that becomes the only source of texts.

// Writes the template as "translate_" + product name + ".txt" into the temporary folder; path
// receives its full path (MAX_PATH units). False when the file could not be written whole.
bool WriteTranslationTemplate(wchar_t* path);

// Writes the template and has the shell open it with the program that opens text files.
void OpenTranslationTemplate();

// Reads the language file at path and makes it the only source of texts: every text the file
// lacks shows as a placeholder. message receives the completeness report, or, when the file
// cannot be read, is too large or holds no text the program reads (false), why; then nothing
// changes.
bool LoadLanguageFile(const wchar_t* path, GrowingText* message);

// Asks for a language file with the system's open dialog, loads it and shows the report in the
// message box "Translate". False when the user cancelled the dialog.
bool ChooseLanguageFile(HWND owner);

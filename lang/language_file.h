#pragma once
#include <windows.h>

#include "base/core/growing_text.h"

// Translators' files: the translation template in the temporary folder, and a language file of
// the user's that becomes the only source of texts.

// Writes the template as "translate_" + product name + ".txt" into the temporary folder; path
// receives its full path (MAX_PATH units). False when the file could not be written whole; path
// then holds what could not be written (the temporary folder alone when the name does not fit
// behind it: ERROR_FILENAME_EXCED_RANGE) and error (if not null) the system's error code.
bool WriteTranslationTemplate(wchar_t* path, DWORD* error = nullptr);

// Writes the template and has the shell open it with the program that opens text files; tells the
// user when it cannot be written, and then opens nothing.
void OpenTranslationTemplate();

// Reads the language file at path and makes it the only source of texts: every text the file
// lacks shows as a placeholder. message receives the completeness report, or, when the file
// cannot be read, is too large or holds no text the program reads (false), why; then nothing
// changes.
bool LoadLanguageFile(const wchar_t* path, GrowingText* message);

// Asks for a language file with the system's open dialog, loads it and shows the report in the
// message box "Translate". False when the user cancelled the dialog.
bool ChooseLanguageFile(HWND owner);

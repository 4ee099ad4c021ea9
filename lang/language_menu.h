#pragma once
#include <windows.h>

// The language menu under the main dialog's language button ("# LNG"): every named language with
// its completeness, "Translate" and "Load from File (Unicode)".

int const kLanguageButton = 2022;  // the toolbar button's command

// Re-applies every text of the main dialog after the language changed.
using ReapplyTexts = void (*)(HWND dialog);

// Shows the menu under the toolbar's language button and acts on the choice: a language becomes
// current (and a loaded language file leaves), "Translate" writes and opens the translation
// template, "Load from File (Unicode)" loads a file of the user's. Every choice stores the
// language in the setting "lng"; dismissing the menu changes nothing.
void ShowLanguageMenu(HWND dialog, HWND toolbar, ReapplyTexts reapplyTexts);

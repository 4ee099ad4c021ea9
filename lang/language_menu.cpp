#include "lang/language_menu.h"

#include <commctrl.h>

#include "base/core/growing_text.h"
#include "base/wide_text.h"
#include "lang/core/language_menu_items.h"
#include "lang/language_file.h"
#include "lang/string_table.h"

namespace {

HMENU BuildLanguageMenu() {
    HMENU const menu = CreatePopupMenu();
    if (!menu) return nullptr;
    LanguageArchive const& archive = g_language.Archive();
    GrowingText item;
    for (int slot = 0; slot < archive.languageCount; slot++) {
        if (!IsListedLanguage(archive, slot)) continue;
        FormatLanguageItem(archive, slot, &item);
        UINT const state = slot == g_language.Slot() ? MF_GRAYED | MF_DISABLED : MF_ENABLED;
        AppendMenuW(menu, MF_STRING | state, UINT_PTR(kChooseLanguageCommand + slot), Wide(item.Data()));
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kTranslateCommand, L"Translate");
    AppendMenuW(menu, MF_STRING, kLoadLanguageFileCommand, L"Load from File (Unicode)");
    return menu;
}

// The bottom-left corner of the language button, on the screen.
POINT MenuPosition(HWND toolbar) {
    RECT button = {};
    LRESULT const index = SendMessageW(toolbar, TB_COMMANDTOINDEX, kLanguageButton, 0);
    SendMessageW(toolbar, TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&button));
    POINT corner = {button.left, button.bottom};
    ClientToScreen(toolbar, &corner);
    return corner;
}

}  // namespace

void ShowLanguageMenu(HWND dialog, HWND toolbar, ReapplyTexts reapplyTexts) {
    HMENU const menu = BuildLanguageMenu();
    if (!menu) return;
    POINT const corner = MenuPosition(toolbar);
    SendMessageW(toolbar, TB_PRESSBUTTON, kLanguageButton, MAKELPARAM(TRUE, 0));
    int const command = int(TrackPopupMenu(menu, TPM_RETURNCMD, corner.x, corner.y, 0, dialog, nullptr));
    SendMessageW(toolbar, TB_PRESSBUTTON, kLanguageButton, MAKELPARAM(FALSE, 0));
    DestroyMenu(menu);
    if (command == 0) return;

    int const slot = ChosenLanguage(command);
    if (slot >= 0) {
        g_language.Use(slot);
        if (reapplyTexts) reapplyTexts(dialog);
    } else if (command == kTranslateCommand) {
        OpenTranslationTemplate();
    } else if (command == kLoadLanguageFileCommand) {
        ChooseLanguageFile(dialog);
        if (reapplyTexts) reapplyTexts(dialog);
    }
    // A loaded file leaves the slot alone: the setting keeps the built-in language in force before.
    g_language.Save();
}

#pragma once
#include <windows.h>

#include "base/core/growing_text.h"
#include "lang/core/language_archive.h"
#include "lang/core/string_lookup.h"

// The user-interface language: the texts of the archive inside the exe, the slot in force, and a
// language file of the user's, which while it is in force is the only source of texts. Every
// visible text goes through its lookup.
//
// Of the archive only what is in use is kept (see KeepInUse): the tables of the slot in force and of
// the reference slot, the slot names and percentages, the product strings and the reference copy.
// Another slot decodes the archive again, from the exe file mapped read-only: its pages are the
// system's file cache, none of them the process's own.
class Language {
  public:
    Language();
    ~Language();
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // Finds the archive between its markers in the executable file at path, decodes and parses it.
    // False when the file holds no intact archive; then the texts loaded before stay.
    bool LoadArchive(const wchar_t* path);
    const LanguageArchive& Archive() const { return *archive_; }

    int Slot() const { return slot_; }
    bool FileInForce() const { return fileInForce_; }
    // The slot's texts from now on; a language file in force leaves. Not stored. Texts of the
    // archive fetched before are gone when the slot changes.
    void Use(int slot);
    // Parses the language file's text (see DecodeLanguageFile) and makes it the only source of
    // texts; the slot stays for later. text receives the file loaded before, which goes with it.
    void UseFile(GrowingText* text);
    const char16_t* const* FileTable() const { return fileTable_; }
    // Stores the slot in force as the setting "lng"; a language file is never stored.
    void Save() const;

    // The text for a string ID; never null. A placeholder names a missing ID; for the IDs 0 to 254
    // it stays valid as long as this object. A text of the archive stays valid until the slot
    // changes.
    const char16_t* Text(int id);
    // The same from the archive, also while a language file is in force.
    const char16_t* BuiltInText(int id);

  private:
    // Decodes the archive located in file and keeps what slot needs, in pages of their own. False,
    // with what was kept before unchanged, when memory is short or the text is damaged.
    bool Keep(const uint8_t* file, const ArchiveLocation& where, int slot);

    LanguageArchive* archive_;  // what is kept, or an empty archive before the first load
    const uint8_t* file_;       // the exe file's read-only view, from the first load on
    ArchiveLocation where_;     // the archive in it
    int keptSlot_;              // the slot whose table archive_ holds
    int slot_;
    bool fileInForce_;
    const char16_t* fileTable_[kStringIdCount];
    GrowingText fileText_;  // the loaded file's text, which fileTable_ points into
    // Not zeroed: a global's is zero anyway, and a placeholder is formatted at every lookup.
    PlaceholderStore placeholders_;
};

extern Language g_language;  // the program's language

// Loads the archive of the program's own exe into g_language. On failure tells the user, posts the
// quit message with 0 and returns false.
bool LoadLanguageArchive();

// The text for a string ID in g_language; never null.
const wchar_t* Text(int id);
// The same as a title shows it, without the access key that a button's caption carries; written
// into buffer (chars units), which is returned.
const wchar_t* TitleText(int id, wchar_t* buffer, size_t chars);
// The same from the archive, also while a language file is in force: for what is said about such a
// file, which may lack the text.
const wchar_t* BuiltInText(int id);

// A product string (key 0 to 127) of g_language's archive, or null.
const wchar_t* ProductString(int key);

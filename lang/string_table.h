#pragma once
#include <windows.h>

#include "base/core/growing_text.h"
#include "base/heap_buffer.h"
#include "lang/core/language_archive.h"
#include "lang/core/string_lookup.h"

// The user-interface language: the texts of the archive inside the exe, the slot in force, and a
// language file of the user's, which while it is in force is the only source of texts. Every
// visible text goes through its lookup.
class Language {
  public:
    Language();
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // Reads the executable file at path, finds the archive between its markers, decodes and parses
    // it. False when the file holds no intact archive; then the texts loaded before stay.
    bool LoadArchive(const wchar_t* path);
    const LanguageArchive& Archive() const { return archive_; }

    int Slot() const { return slot_; }
    bool FileInForce() const { return fileInForce_; }
    // The slot's texts from now on; a language file in force leaves. Not stored.
    void Use(int slot);
    // Parses the language file's text (see DecodeLanguageFile) and makes it the only source of
    // texts; the slot stays for later. text receives the file loaded before, which goes with it.
    void UseFile(GrowingText* text);
    const char16_t* const* FileTable() const { return fileTable_; }
    // Stores the slot in force as the setting "lng"; a language file is never stored.
    void Save() const;

    // The text for a string ID; never null. A placeholder names a missing ID; for the IDs 0 to 254
    // it stays valid as long as this object, like every text of the archive.
    const char16_t* Text(int id);
    // The same from the archive, also while a language file is in force.
    const char16_t* BuiltInText(int id);

  private:
    // All zero until the constructor runs, so that the program's object takes no room in the exe.
    LanguageArchive archive_;
    HeapBuffer<BYTE> archiveText_;  // the decoded archive, which the tables point into
    int slot_;
    bool fileInForce_;
    const char16_t* fileTable_[kStringIdCount];
    GrowingText fileText_;  // the loaded file's text, which fileTable_ points into
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

#include "lang/string_table.h"

#include "base/core/text.h"
#include "base/heap_buffer.h"
#include "base/message_box.h"
#include "base/program_path.h"
#include "base/whole_file.h"
#include "base/wide_text.h"
#include "lang/core/string_lookup.h"
#include "settings/settings_store.h"

LanguageArchive g_archive;
int g_externalLanguage = 0;
const char16_t* g_externalTable[kStringIdCount];

namespace {

PlaceholderStore g_placeholders;
// The exe is some hundred kilobytes; anything near this size is not ours.
size_t const kMaxExeBytes = 0x40000000;

}  // namespace

bool LoadLanguageArchiveFrom(const wchar_t* path) {
    FileBytes file;
    // The spare bytes behind the data keep a marker comparison near the end inside the buffer.
    if (ReadWholeFile(path, kMaxExeBytes, kStartMarkerSize + kEndMarkerSize, &file) != FileRead::kRead)
        return false;
    ArchiveLocation where;
    if (!LocateArchive(file.data, file.size, &where)) return false;
    HeapBuffer<BYTE> text(size_t(where.declaredSize) + 10);
    if (!text.get() || !DecodeArchive(file.data, where, text.get())) return false;
    // The decoded text stays for the whole run: every table points into it.
    LoadArchiveText(reinterpret_cast<char16_t*>(text.Release()), where.declaredSize / 2, &g_archive);
    return true;
}

bool LoadLanguageArchive() {
    if (LoadLanguageArchiveFrom(ProgramPath())) return true;
    ShowMessage(nullptr, L"Error! Loading language file string archive", L"Error!", MB_OK);
    PostQuitMessage(0);
    return false;
}

const wchar_t* Text(int id) {
    return Wide(LookupText(g_archive, g_languageIndex, g_externalLanguage != 0, g_externalTable, id,
                           &g_placeholders));
}

const wchar_t* TitleText(int id, wchar_t* buffer, size_t chars) {
    WithoutAccessKey(Utf16(Text(id)), Utf16(buffer), chars);
    return buffer;
}

const wchar_t* BuiltInText(int id) {
    return Wide(LookupText(g_archive, g_languageIndex, false, nullptr, id, &g_placeholders));
}

const wchar_t* ProductString(int key) {
    return Wide(ProductString(g_archive, key));
}

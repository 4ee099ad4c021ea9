#include "lang/string_table.h"

#include "base/core/text.h"
#include "base/heap_buffer.h"
#include "base/message_box.h"
#include "base/program_path.h"
#include "base/whole_file.h"
#include "base/wide_text.h"
#include "settings/settings_store.h"

Language g_language;

namespace {

// The exe is some hundred kilobytes; anything near this size is not ours.
size_t const kMaxExeBytes = 0x40000000;

}  // namespace

// Defined here, not constexpr: a constant initial value with the English slot would put the
// whole object, tables and all, into the exe's data instead of zeroed memory.
Language::Language()
    : archive_(), archiveText_(), slot_(kReferenceSlot), fileInForce_(false), fileTable_(), placeholders_() {}

bool Language::LoadArchive(const wchar_t* path) {
    FileBytes file;
    // The spare bytes behind the data keep a marker comparison near the end inside the buffer.
    if (ReadWholeFile(path, kMaxExeBytes, kStartMarkerSize + kEndMarkerSize, &file) != FileRead::kRead)
        return false;
    ArchiveLocation where;
    if (!LocateArchive(file.data, file.size, &where)) return false;
    HeapBuffer<BYTE> text(size_t(where.declaredSize) + 10);
    if (!text.get() || !DecodeArchive(file.data, where, text.get())) return false;
    // Every table points into the decoded text, which therefore lives as long as this object.
    LoadArchiveText(reinterpret_cast<char16_t*>(text.get()), where.declaredSize / 2, &archive_);
    archiveText_ = static_cast<HeapBuffer<BYTE>&&>(text);
    return true;
}

void Language::Use(int slot) {
    slot_ = slot;
    fileInForce_ = false;
}

void Language::UseFile(GrowingText* text) {
    fileText_.Swap(*text);
    ParseSection(fileText_.MutableData(), fileTable_);
    fileInForce_ = true;
}

void Language::Save() const {
    WriteSetting(Setting::kLanguage, slot_);
}

const char16_t* Language::Text(int id) {
    return LookupText(archive_, slot_, fileInForce_, fileTable_, id, &placeholders_);
}

const char16_t* Language::BuiltInText(int id) {
    return LookupText(archive_, slot_, false, nullptr, id, &placeholders_);
}

bool LoadLanguageArchive() {
    if (g_language.LoadArchive(ProgramPath())) return true;
    ShowMessage(nullptr, L"Error! Loading language file string archive", L"Error!", MB_OK);
    PostQuitMessage(0);
    return false;
}

const wchar_t* Text(int id) {
    return Wide(g_language.Text(id));
}

const wchar_t* TitleText(int id, wchar_t* buffer, size_t chars) {
    WithoutAccessKey(Utf16(Text(id)), Utf16(buffer), chars);
    return buffer;
}

const wchar_t* BuiltInText(int id) {
    return Wide(g_language.BuiltInText(id));
}

const wchar_t* ProductString(int key) {
    return Wide(ProductString(g_language.Archive(), key));
}

#include "lang/string_table.h"

#include "base/core/text.h"
#include "base/message_box.h"
#include "base/program_path.h"
#include "base/scoped_handle.h"
#include "base/wide_text.h"
#include "settings/settings_store.h"

Language g_language;

namespace {

// The exe is some hundred kilobytes; anything near this size is not ours.
size_t const kMaxExeBytes = 0x40000000;
size_t const kPageBytes = 4096;

// What a Language answers before its first load: no texts. Never written, so its pages are never
// the process's.
LanguageArchive g_noArchive;

// Pages of their own for the decode's large buffers: freed, they go back to the system at once,
// where the heap would keep blocks this large. Zero-filled.
class Pages {
  public:
    explicit Pages(size_t bytes)
        : data_(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~Pages() { Free(data_); }
    Pages(const Pages&) = delete;
    Pages& operator=(const Pages&) = delete;
    template <typename T>
    T* get() const {
        return static_cast<T*>(data_);
    }
    void* Detach() {
        void* const data = data_;
        data_ = nullptr;
        return data;
    }
    static void Free(void* data) {
        if (data) VirtualFree(data, 0, MEM_RELEASE);
    }

  private:
    void* data_;
};

}  // namespace

// Defined here, not constexpr: a constant initial value with the English slot would put the
// whole object, tables and all, into the exe's data instead of zeroed memory.
Language::Language()
    : archive_(&g_noArchive),
      file_(nullptr),
      where_(),
      keptSlot_(kReferenceSlot),
      slot_(kReferenceSlot),
      fileInForce_(false),
      fileTable_() {
    placeholders_.next = 0;
}

Language::~Language() {
    if (archive_ != &g_noArchive) Pages::Free(archive_);
    if (file_) UnmapViewOfFile(file_);
}

bool Language::LoadArchive(const wchar_t* path) {
    ScopedKernelHandle const file(CreateFileW(path, GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file.Held() || !GetFileSizeEx(file, &size) || ULONGLONG(size.QuadPart) > kMaxExeBytes) return false;
    // An empty file cannot be mapped; it holds no archive either.
    ScopedKernelHandle const mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.Held()) return false;
    const uint8_t* const view = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    if (!view) return false;
    ArchiveLocation where;
    if (!LocateArchive(view, size_t(size.QuadPart), &where) || !Keep(view, where, slot_)) {
        UnmapViewOfFile(view);
        return false;
    }
    if (file_) UnmapViewOfFile(file_);
    file_ = view;
    where_ = where;
    return true;
}

bool Language::Keep(const uint8_t* file, const ArchiveLocation& where, int slot) {
    size_t const units = where.declaredSize / 2;
    // The whole archive, parsed, for as long as this takes: its tables, then the decoded text.
    Pages const decoded(sizeof(LanguageArchive) + size_t(where.declaredSize) + 10);
    LanguageArchive* const all = decoded.get<LanguageArchive>();
    // Room for every text: what the kept texts do not use is given back below.
    size_t const room = sizeof(LanguageArchive) + (units + 1) * sizeof(char16_t);
    Pages kept(room);
    LanguageArchive* const archive = kept.get<LanguageArchive>();
    if (!all || !archive || !DecodeArchive(file, where, reinterpret_cast<uint8_t*>(all + 1))) return false;
    LoadArchiveText(reinterpret_cast<char16_t*>(all + 1), units, all);
    size_t const used = sizeof(LanguageArchive) +
                        KeepInUse(*all, slot, archive, reinterpret_cast<char16_t*>(archive + 1), units + 1) *
                            sizeof(char16_t);
    size_t const keptEnd = (used + kPageBytes - 1) & ~(kPageBytes - 1);
    if (keptEnd < room) VirtualFree(kept.get<char>() + keptEnd, room - keptEnd, MEM_DECOMMIT);
    if (archive_ != &g_noArchive) Pages::Free(archive_);
    archive_ = static_cast<LanguageArchive*>(kept.Detach());
    keptSlot_ = slot;
    return true;
}

void Language::Use(int slot) {
    // Should the decode fail for want of memory, the slot's texts come in English.
    if (file_ && slot != keptSlot_) Keep(file_, where_, slot);
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
    return LookupText(*archive_, slot_, fileInForce_, fileTable_, id, &placeholders_);
}

const char16_t* Language::BuiltInText(int id) {
    return LookupText(*archive_, slot_, false, nullptr, id, &placeholders_);
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

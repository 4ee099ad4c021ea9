#include "lang/string_table.h"

#include "base/message_box.h"
#include "base/program_path.h"
#include "base/wide_text.h"
#include "lang/core/string_lookup.h"
#include "settings/settings_store.h"

LanguageArchive g_archive;
int g_externalLanguage = 0;
const char16_t* g_externalTable[kStringIdCount];

namespace {

PlaceholderStore g_placeholders;

// Reads the whole file into a buffer with spare room behind its data; null on any failure.
BYTE* ReadWholeFile(const wchar_t* path, size_t spare, size_t* size) {
    HANDLE const file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    BYTE* data = nullptr;
    LARGE_INTEGER length = {};
    if (GetFileSizeEx(file, &length) && length.QuadPart > 0 && length.QuadPart < 0x40000000) {
        size_t const n = size_t(length.QuadPart);
        data = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n + spare));
        size_t done = 0;
        while (data && done < n) {
            DWORD got = 0;
            if (!ReadFile(file, data + done, DWORD(n - done), &got, nullptr) || got == 0) break;
            done += got;
        }
        if (data && done == n) {
            *size = n;
        } else if (data) {
            HeapFree(GetProcessHeap(), 0, data);
            data = nullptr;
        }
    }
    CloseHandle(file);
    return data;
}

}  // namespace

bool LoadLanguageArchiveFrom(const wchar_t* path) {
    size_t fileSize = 0;
    // The spare bytes behind the data keep a marker comparison near the end inside the buffer.
    BYTE* const file = ReadWholeFile(path, kStartMarkerSize + kEndMarkerSize, &fileSize);
    if (!file) return false;
    ArchiveLocation where;
    bool ok = LocateArchive(file, fileSize, &where);
    // The decoded text stays for the whole run: every table points into it.
    BYTE* const text = ok ? static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                         size_t(where.declaredSize) + 10))
                          : nullptr;
    ok = text && DecodeArchive(file, where, text);
    if (ok)
        LoadArchiveText(reinterpret_cast<char16_t*>(text), where.declaredSize / 2, &g_archive);
    else if (text)
        HeapFree(GetProcessHeap(), 0, text);
    HeapFree(GetProcessHeap(), 0, file);
    return ok;
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

const wchar_t* ProductString(int key) {
    return Wide(ProductString(g_archive, key));
}

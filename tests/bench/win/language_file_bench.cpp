// Prints how long loading a language file keeps the user-interface thread busy, for files from the
// translation template to the largest taken and beyond: read, convert, parse and report.
// Usage: language_file_bench.exe [path\to\huepeek.exe]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/process_state.h"
#include "lang/core/language_file.h"
#include "lang/language_file.h"
#include "lang/string_table.h"

namespace {

std::wstring Folder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"huepeek_language_bench\\";
}

std::wstring Write(const wchar_t* name, const std::vector<BYTE>& bytes, ULONGLONG sparseSize = 0) {
    std::wstring const path = Folder() + name;
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    if (sparseSize) {
        LARGE_INTEGER size;
        size.QuadPart = LONGLONG(sparseSize);
        SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
    }
    CloseHandle(file);
    return path;
}

void Measure(const wchar_t* what, const std::wstring& path) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    bool loaded = false;
    for (int run = 0; run < 11; ++run) {
        GrowingText message;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        loaded = LoadLanguageFile(path.c_str(), &message);
        QueryPerformanceCounter(&end);
        ms.push_back(double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart));
    }
    std::sort(ms.begin(), ms.end());
    wprintf(L"%-46ls median %8.2f ms, max %8.2f ms (%ls)\n", what, ms[ms.size() / 2], ms.back(),
            loaded ? L"loaded" : L"refused");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t exe[MAX_PATH] = {};
    if (argc > 1) {
        lstrcpynW(exe, argv[1], MAX_PATH);
    } else {
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        *wcsrchr(exe, L'\\') = 0;
        lstrcatW(exe, L"\\..\\bin\\huepeek.exe");
    }
    if (!g_language.LoadArchive(exe)) {
        fwprintf(stderr, L"cannot load the archive of %ls\n", exe);
        return 1;
    }
    lstrcpyW(g_productName, L"Huepeek");
    CreateDirectoryW(Folder().c_str(), nullptr);

    wchar_t templatePath[MAX_PATH];
    WriteTranslationTemplate(templatePath);
    std::vector<BYTE> largest(kMaxLanguageFileBytes, 'a');
    largest[0] = '2', largest[1] = '0', largest[2] = '=';
    std::vector<BYTE> lines;
    while (lines.size() + 12 <= kMaxLanguageFileBytes)
        for (char c : std::string("20=Beenden\r\n")) lines.push_back(BYTE(c));
    std::vector<BYTE> binary(300000);
    unsigned seed = 12345;
    for (BYTE& b : binary) b = BYTE((seed = seed * 1103515245u + 12345u) >> 16);

    Measure(L"translation template (UTF-16, 3.4 KB)", templatePath);
    Measure(L"binary, 300 KB", Write(L"binary.bin", binary));
    Measure(L"largest taken, one line of 4 MB (ANSI)", Write(L"largest.txt", largest));
    Measure(L"largest taken, 4 MB of short lines (ANSI)", Write(L"lines.txt", lines));
    Measure(L"50 MB, refused by its size", Write(L"huge.txt", {}, 50ull << 20));
    DeleteFileW((Folder() + L"huge.txt").c_str());
    return 0;
}

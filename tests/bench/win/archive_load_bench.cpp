// Prints the time of the whole language-archive load as huepeek.exe does it at start-up: map the
// exe, find the markers, decode, split, parse and keep the slot in force; and the time of a change
// of language, which decodes again. Usage: archive_load_bench.exe [path\to\huepeek.exe]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "lang/string_table.h"

int wmain(int argc, wchar_t** argv) {
    wchar_t path[MAX_PATH] = {};
    if (argc > 1) {
        lstrcpynW(path, argv[1], MAX_PATH);
    } else {
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        *wcsrchr(path, L'\\') = 0;
        lstrcatW(path, L"\\..\\bin\\huepeek.exe");
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto const elapsed = [&](const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
        return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
    };
    // The floor: reading the exe file whole, which the load does first.
    std::vector<double> read;
    for (int run = 0; run < 51; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        HANDLE const file =
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        std::vector<char> bytes(GetFileSize(file, nullptr));
        DWORD got = 0;
        ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
        CloseHandle(file);
        QueryPerformanceCounter(&end);
        read.push_back(elapsed(start, end));
    }
    std::sort(read.begin(), read.end());
    std::vector<double> ms;
    int languageCount = 0;
    size_t units = 0;
    for (int run = 0; run < 51; ++run) {
        // A language of its own for each run, as the program starts with none.
        std::unique_ptr<Language> const language(new Language);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        bool const ok = language->LoadArchive(path);
        QueryPerformanceCounter(&end);
        languageCount = language->Archive().languageCount;
        units = language->Archive().units;
        if (!ok) {
            fwprintf(stderr, L"cannot load the archive of %ls\n", path);
            return 1;
        }
        ms.push_back(elapsed(start, end));
    }
    std::sort(ms.begin(), ms.end());
    wprintf(
        L"archive load (map exe, find markers, decode, split, parse, keep): median %.2f ms, min %.2f ms over "
        L"%d "
        L"runs; "
        L"%d language slots, %u bytes of text kept\n",
        ms[ms.size() / 2], ms.front(), int(ms.size()), languageCount, unsigned(units * 2));
    double const floor = read[read.size() / 2];
    wprintf(L"  floor: reading the exe file: median %.2f ms (%.1fx)\n", floor,
            floor > 0 ? ms[ms.size() / 2] / floor : 0.0);

    // A change of language: each takes another slot, so each decodes again.
    std::unique_ptr<Language> const language(new Language);
    language->LoadArchive(path);
    std::vector<double> change;
    for (int run = 0; run < 51; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        language->Use(run % languageCount);
        QueryPerformanceCounter(&end);
        change.push_back(elapsed(start, end));
    }
    std::sort(change.begin(), change.end());
    wprintf(L"language change (decode again, keep): median %.2f ms, min %.2f ms over %d changes\n",
            change[change.size() / 2], change.front(), int(change.size()));
    return 0;
}

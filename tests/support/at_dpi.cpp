// Runs a test program at another display scale, as a user who has set 150 % or 200 % in the
// display settings would run the program:
//   at_dpi.exe DPI SECONDS PROGRAM [ARGUMENTS...]
// Wine takes a process's DPI from the user's LogPixels when the process starts, so the value is
// set for as long as the program (and whatever it starts) runs, then put back as it was. The
// program shares this one's standard handles; its exit code becomes this one's. A program still
// running after SECONDS is ended, so that no later test of the run meets the other scale (ctest's
// own time-out would end this process before it could put the value back).
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "log_pixels.h"

namespace {

int const kExitUsage = 2;
int const kExitFailed = 3;
int const kExitTimedOut = 4;

std::wstring Quoted(const wchar_t* argument) {
    std::wstring const text = argument;
    if (!text.empty() && text.find_first_of(L" \t\"") == std::wstring::npos) return text;
    std::wstring quoted = L"\"";
    for (wchar_t c : text) quoted += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
    return quoted + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: at_dpi DPI SECONDS PROGRAM [ARGUMENTS...]\n");
        return kExitUsage;
    }
    DWORD const dpi = DWORD(wcstoul(argv[1], nullptr, 10));
    DWORD const seconds = DWORD(wcstoul(argv[2], nullptr, 10));
    if (dpi < 48 || dpi > 480 || seconds == 0) return kExitUsage;
    std::wstring commandLine = Quoted(argv[3]);
    for (int i = 4; i < argc; ++i) commandLine += L" " + Quoted(argv[i]);

    DWORD code = kExitFailed;
    {
        ScopedLogPixels const logPixels(dpi);
        if (!logPixels.Set()) {
            fprintf(stderr, "at_dpi: LogPixels could not be set\n");
            return kExitFailed;
        }
        printf("at_dpi: %lu dpi\n", dpi);
        fflush(stdout);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process = {};
        // No job of its own: the end-to-end tests put the programs they start into jobs of theirs.
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process)) {
            fprintf(stderr, "at_dpi: the program could not be started (%lu)\n", GetLastError());
            return kExitFailed;
        }
        if (WaitForSingleObject(process.hProcess, seconds * 1000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
        } else {
            fprintf(stderr, "at_dpi: still running after %lu s, ended\n", seconds);
            TerminateProcess(process.hProcess, kExitTimedOut);
            WaitForSingleObject(process.hProcess, 5000);
            code = kExitTimedOut;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return int(code);
}

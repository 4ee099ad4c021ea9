#pragma once
#include <windows.h>

// The full path of the program's own executable, however long: the buffer grows until the whole
// path fits. Computed once; valid until the process ends. Empty text if the system gives nothing.
const wchar_t* ProgramPath();

// The growing read itself, with the system call passed in (GetModuleFileNameW's shape, which cuts
// the path at the buffer's size). Returns a heap buffer that the caller keeps, or null.
using ModuleFileNameFn = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
wchar_t* ReadWholeModulePath(ModuleFileNameFn getModuleFileName);

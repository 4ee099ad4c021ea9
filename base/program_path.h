#pragma once
#include <windows.h>

#include "base/heap_buffer.h"

// The full path of the program's own executable, however long: the buffer grows until the whole
// path fits. Computed once; valid until the process ends. Empty text if the system gives nothing.
const wchar_t* ProgramPath();

// The growing read itself, with the system call passed in (GetModuleFileNameW's shape, which cuts
// the path at the buffer's size). get() is null when the system gives nothing.
using ModuleFileNameFn = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
HeapBuffer<wchar_t> ReadWholeModulePath(ModuleFileNameFn getModuleFileName);

// A path in the form "\\?\" ("\\?\UNC\" for a network path), which the file functions take at any
// length and no layer rewrites; a path in that form already is copied as it is. get() is null when
// the heap has no room.
HeapBuffer<wchar_t> AnyLengthPath(const wchar_t* path);

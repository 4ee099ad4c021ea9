#pragma once
#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>

// Entry points of shell32, ole32 and oleaut32, loaded from the system folder when first used.
// Imported, these three libraries (and what they load) would cost every start about 20 ms under
// Wine before the program's first instruction; most runs need them late or never. Each call gives
// the neutral answer of a failure when its library or entry is missing.

HINSTANCE ShellOpen(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                    const wchar_t* directory, int show);        // ShellExecuteW
BOOL ShellOpenExtended(SHELLEXECUTEINFOW* info);                // ShellExecuteExW
BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAW* data);     // Shell_NotifyIconW
UINT_PTR ShellAppBarMessage(DWORD message, APPBARDATA* data);   // SHAppBarMessage
HRESULT ComInitialize();                                        // CoInitialize(nullptr)
HRESULT OleInitializeForThread();                               // OleInitialize(nullptr)
HRESULT VariantRound(VARIANT* in, int decimals, VARIANT* out);  // VarRound
HRESULT VariantRelease(VARIANT* variant);                       // VariantClear

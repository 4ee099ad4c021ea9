#include "base/message_box.h"

int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    if (!owner) type |= MB_SETFOREGROUND;
    return MessageBoxW(owner, text, caption, type);
}

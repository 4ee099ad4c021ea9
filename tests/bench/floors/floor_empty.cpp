// The smallest static Win32 program, built with the exe's own flags: the floor of the exe's size.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}

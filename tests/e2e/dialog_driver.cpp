#include "dialog_driver.h"

#include <commctrl.h>

#include "harness.h"

namespace e2e {

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainDialogProc(HWND hwnd, LPARAM lParam) {
    Search* const search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId || ClassNameOf(hwnd) != L"#32770") return TRUE;
    if (WindowText(hwnd).rfind(L"Huepeek", 0) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// Memory in another process, for messages whose answer goes through a pointer.
class RemoteMemory {
  public:
    RemoteMemory(HWND window, SIZE_T bytes) : bytes_(bytes) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteMemory() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    void* Address() const { return address_; }
    bool Read(void* out) const {
        SIZE_T got = 0;
        return address_ && ReadProcessMemory(process_, address_, out, bytes_, &got) && got == bytes_;
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    SIZE_T bytes_;
};

}  // namespace

HWND FindMainDialog(DWORD processId) {
    Search search = {processId, nullptr};
    EnumWindows(FindMainDialogProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForMainDialog(DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindMainDialog(processId)) != nullptr; }, timeoutMs);
    return found;
}

std::vector<HWND> Pages(HWND mainDialog) {
    std::vector<HWND> pages;
    for (HWND child = GetWindow(mainDialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassNameOf(child) == L"#32770") pages.push_back(child);
    return pages;
}

HWND VisiblePage(HWND mainDialog) {
    for (HWND page : Pages(mainDialog))
        if (IsWindowVisible(page)) return page;
    return nullptr;
}

HWND Toolbar(HWND mainDialog) {
    return FindWindowExW(mainDialog, nullptr, TOOLBARCLASSNAMEW, nullptr);
}

std::wstring ToolbarButtonText(HWND toolbar, int commandId) {
    wchar_t text[512] = {};
    RemoteMemory remote(toolbar, sizeof(text));
    if (!remote.Address()) return L"?";
    LRESULT const length = SendMessageW(toolbar, TB_GETBUTTONTEXTW, WPARAM(commandId),
                                        reinterpret_cast<LPARAM>(remote.Address()));
    if (length < 0 || !remote.Read(text)) return L"?";
    text[ARRAYSIZE(text) - 1] = 0;
    return text;
}

RECT ToolbarButtonRectOnScreen(HWND toolbar, int commandId) {
    RECT rect = {};
    RemoteMemory remote(toolbar, sizeof(rect));
    LRESULT const index = SendMessageW(toolbar, TB_COMMANDTOINDEX, WPARAM(commandId), 0);
    if (remote.Address() &&
        SendMessageW(toolbar, TB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(remote.Address())))
        remote.Read(&rect);
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ClickAt(int x, int y) {
    // The bottom-left corner of the screen, where no window of the tests lies.
    MoveCursor(1, GetSystemMetrics(SM_CYSCREEN) - 2);
    MoveCursor(x, y);
    Click();
}

void ClickCentre(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void Command(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

std::wstring StoredSetting(const wchar_t* name) {
    std::wstring text;
    return ReadSetting(name, &text) ? text : L"";
}

}  // namespace e2e

#include "tray/tray_animation.h"

#include <shellapi.h>

#include "base/system_calls.h"
#include "base/system_library.h"
#include "tray/core/notification_area.h"

DrawAnimatedRectsFn g_drawAnimatedRects =
    GetProcedure<DrawAnimatedRectsFn>(GetModuleHandleW(L"user32.dll"), "DrawAnimatedRects");
SystemParametersInfoFn g_systemParametersInfo =
    GetProcedure<SystemParametersInfoFn>(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoW");

namespace {

AreaRect Area(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

RECT NotificationAreaOnScreen() {
    TaskbarFacts facts = {};
    HWND const taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT rect = {};
    if (taskbar) {
        if (HWND const notify = FindWindowExW(taskbar, nullptr, L"TrayNotifyWnd", nullptr)) {
            GetWindowRect(notify, &rect);
            facts.haveNotifyWindow = true;
            facts.notifyWindow = Area(rect);
        }
        GetWindowRect(taskbar, &rect);
        facts.haveTaskbarWindow = true;
        facts.taskbarWindow = Area(rect);
    }
    APPBARDATA bar = {};
    bar.cbSize = sizeof(bar);
    if (ShellAppBarMessage(ABM_GETTASKBARPOS, &bar)) {
        facts.haveTaskbarPosition = true;
        facts.edge = static_cast<TaskbarEdge>(bar.uEdge);
        facts.taskbarPosition = Area(bar.rc);
    }
    if (g_systemParametersInfo) g_systemParametersInfo(SPI_GETWORKAREA, 0, &rect, 0);
    facts.workArea = Area(rect);
    AreaRect const area = NotificationAreaRect(facts);
    return {area.left, area.top, area.right, area.bottom};
}

bool MinimizeAnimationOn() {
    ANIMATIONINFO animation = {sizeof(animation), 0};
    return g_systemParametersInfo &&
           g_systemParametersInfo(SPI_GETANIMATION, sizeof(animation), &animation, 0) &&
           animation.iMinAnimate != 0;
}

void AnimateToTray(HWND window, const RECT& from, const RECT& to) {
    if (g_drawAnimatedRects) g_drawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

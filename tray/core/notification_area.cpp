#include "tray/core/notification_area.h"

AreaRect NotificationAreaRect(const TaskbarFacts& facts) {
    if (facts.haveNotifyWindow) return facts.notifyWindow;
    if (facts.haveTaskbarPosition) {
        AreaRect const& bar = facts.taskbarPosition;
        if (facts.edge == TaskbarEdge::kLeft || facts.edge == TaskbarEdge::kRight)
            return {bar.left, bar.bottom - 100, bar.right, bar.bottom - 16};
        return {bar.right - 100, bar.top, bar.right - 16, bar.bottom};
    }
    if (facts.haveTaskbarWindow) {
        AreaRect area = facts.taskbarWindow;
        if (area.right - area.left > 150) area.left = area.right - 150;
        if (area.bottom - area.top > 30) area.top = area.bottom - 30;
        return area;
    }
    AreaRect area = facts.workArea;
    area.left = area.right - 150;
    area.top = area.bottom - 30;
    return area;
}

#pragma once

// Where the minimize-to-tray animation ends: the notification area, found by the first rule that
// applies. Plain rectangles, so the choice can be checked for every taskbar position.

struct AreaRect {
    int left, top, right, bottom;
};

enum class TaskbarEdge { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };  // ABE_* values

struct TaskbarFacts {
    bool haveNotifyWindow;  // a "TrayNotifyWnd" child of the taskbar window
    AreaRect notifyWindow;
    bool haveTaskbarPosition;  // the shell answered ABM_GETTASKBARPOS
    TaskbarEdge edge;
    AreaRect taskbarPosition;
    bool haveTaskbarWindow;  // a top-level "Shell_TrayWnd"
    AreaRect taskbarWindow;
    AreaRect workArea;
};

AreaRect NotificationAreaRect(const TaskbarFacts& facts);

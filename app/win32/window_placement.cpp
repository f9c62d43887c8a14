#include "app/win32/window_placement.h"

#include "app/win32/display_dpi.h"

SIZE mainWindowSize(const DisplayScale& scale) {
    const RECT client = {0, 0, scale.scaled(kClientWidth), scale.scaled(kClientHeight)};
    const RECT outer = outerRectFor(client, kMainStyle, 0, true, static_cast<UINT>(scale.dpi()));
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

void placeOnMonitor(HWND window, const RECT& outer) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    const LayoutRect wanted = {outer.left, outer.top, outer.right, outer.bottom};
    LayoutRect kept = wanted;
    if (GetMonitorInfoW(MonitorFromRect(&outer, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        kept = keepWithin(wanted, LayoutRect{work.left, work.top, work.right, work.bottom});
    }
    SetWindowPos(window, nullptr, kept.left, kept.top, kept.width(), kept.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

#include "ui/AboutDialog.h"

#include "resource.h"

#include <algorithm>

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT) {}

BOOL AboutDialog::OnInitDialog() {
    const BOOL result = Dialog::OnInitDialog();
    const HWND owner = GetWindow(hwnd(), GW_OWNER);
    RECT box, over;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!owner || !GetWindowRect(hwnd(), &box) || !GetWindowRect(owner, &over) ||
        !GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return result;
    }
    const RECT& area = monitor.rcWork;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int x = (over.left + over.right - width) / 2;
    const int y = (over.top + over.bottom - height) / 2;
    SetWindowPos(hwnd(), nullptr, std::max<int>(area.left, std::min<int>(x, area.right - width)),
                 std::max<int>(area.top, std::min<int>(y, area.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return result;
}

#include "ui/PointerBadge.h"

#include "platform/SharedIcon.h"
#include "resource.h"

#include <algorithm>

namespace {

const char kClassName[] = "TarnwickBadge";
// Past the tip of the standard arrow, at the standard DPI, so that the badge never hides what
// the pointer points at.
constexpr int kOffsetX = 14;
constexpr int kOffsetY = 22;

}  // namespace

PointerBadge::PointerBadge()
    : window_(kClassName, false, [this](HDC dc, SIZE size) { Draw(dc, size); }) {}

// Below and right of the pointer; on the other side of it where the monitor ends first.
// Moved, not painted again, while it stays on one monitor.
void PointerBadge::Show(ScreenPoint pointer) {
    const HMONITOR monitor = MonitorFromPoint(POINT{pointer.x, pointer.y}, MONITOR_DEFAULTTONEAREST);
    if (monitor != monitor_) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoA(monitor, &info);
        monitor_ = monitor;
        monitorArea_ = info.rcMonitor;
        dpi_ = OverlayWindow::MonitorDpi({pointer.x, pointer.y, 1, 1});
    }
    const int side = GetSystemMetrics(SM_CXSMICON) + 2 * MulDiv(3, dpi_, kStandardDpi);
    const int dx = MulDiv(kOffsetX, dpi_, kStandardDpi);
    const int dy = MulDiv(kOffsetY, dpi_, kStandardDpi);
    const int left = pointer.x + dx + side <= monitorArea_.right ? pointer.x + dx : pointer.x - dx - side;
    const int top = pointer.y + dy + side <= monitorArea_.bottom ? pointer.y + dy : pointer.y - dy - side;
    if (side == side_) {
        window_.MoveTo({left, top});
    } else {
        window_.Show({left, top, side, side});
        side_ = side;
    }
}

void PointerBadge::Hide() {
    window_.Hide();
    monitor_ = nullptr;
    side_ = 0;
}

void PointerBadge::Draw(HDC dc, SIZE size) const {
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOWTEXT));
    const int frame = std::max(1, MulDiv(1, dpi_, kStandardDpi));
    const RECT inside{frame, frame, size.cx - frame, size.cy - frame};
    FillRect(dc, &inside, GetSysColorBrush(COLOR_WINDOW));
    const int icon = GetSystemMetrics(SM_CXSMICON);
    DrawIconEx(dc, (size.cx - icon) / 2, (size.cy - icon) / 2, SharedIcon::LoadSmall(IDI_ACTIVE).get(), icon,
               icon, 0, nullptr, DI_NORMAL);
}

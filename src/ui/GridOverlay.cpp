#include "ui/GridOverlay.h"

#include "emulation/KeypadGrid.h"
#include "emulation/LoupeLayout.h"
#include "platform/PaintContext.h"

#include <algorithm>
#include <optional>

namespace {

const char kClassName[] = "TarnwickGrid";
constexpr int kStandardDpi = 96;
constexpr int kDigitHeight = 20;  // pixels at the standard DPI

// Where the light core of a line at edge `edge` of a `length`-pixel side begins, `width`
// wide: the outline's lines lie just inside the region, so that their dark edges fit too.
int CoreStart(int edge, int length, int width) {
    if (edge <= 0) {
        return width;
    }
    if (edge >= length) {
        return length - 2 * width;
    }
    return edge - width / 2;
}

// The pointer's size at `dpi` (Windows 10 and later); at the system's DPI, scaled, elsewhere.
SIZE PointerSize(int dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi");
    if (found) {
        const auto metric = reinterpret_cast<GetSystemMetricsForDpiFunction>(reinterpret_cast<void*>(found));
        return {metric(SM_CXCURSOR, static_cast<UINT>(dpi)), metric(SM_CYCURSOR, static_cast<UINT>(dpi))};
    }
    const ScreenDc screen;
    const int systemDpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return {MulDiv(GetSystemMetrics(SM_CXCURSOR), dpi, systemDpi),
            MulDiv(GetSystemMetrics(SM_CYCURSOR), dpi, systemDpi)};
}

RECT OnScreen(const RECT& rect, const ScreenArea& area) {
    return {rect.left + area.left, rect.top + area.top, rect.right + area.left, rect.bottom + area.top};
}

}  // namespace

GridOverlay::GridOverlay()
    : window_(kClassName, true, [this](HDC dc, SIZE size) { Draw(dc, size); }), font_(kDigitHeight) {}

// The loupe's picture, and what the grid's windows are about to cover, are read before either
// window changes, so that no read shows them. What they cover is read only where a loupe may
// read it next: at the last level of the grid, whose cells all show the loupe, and while the
// loupe shows; elsewhere the grid costs no read of the screen.
void GridOverlay::Show(const ScreenArea& monitor, const ScreenArea& region, ScreenPoint pointer) {
    const int dpi = OverlayWindow::MonitorDpi(monitor);
    font_.UseDpi(dpi);
    const std::optional<LoupeLayout> loupe = PlaceLoupe(monitor, region, dpi);
    if (loupe) {
        PlanOutline(monitor, region, dpi);
        const RECT inner{region.left, region.top, region.left + region.width, region.top + region.height};
        const RECT outer = OnScreen({0, 0, area_.width, area_.height}, area_);
        loupe_.Read(*loupe, dpi, backdrop_);
        // Two reads: the loupe stands apart from the outline.
        backdrop_.Cover({{outer.left, outer.top, outer.right, inner.top},
                         {outer.left, inner.bottom, outer.right, outer.bottom},
                         {outer.left, inner.top, inner.left, inner.bottom},
                         {inner.right, inner.top, outer.right, inner.bottom}});
        backdrop_.Cover({{loupe->window.left, loupe->window.top, loupe->window.left + loupe->window.width,
                          loupe->window.top + loupe->window.height}});
    } else {
        const bool last = PlaceLoupe(monitor, GridCell(region, 7), dpi).has_value();
        PlanGrid(region, pointer, dpi, last);
        if (last) {
            std::vector<RECT> drawn;
            for (const RECT& rect : dark_) {
                drawn.push_back(OnScreen(rect, area_));
            }
            for (const Label& label : labels_) {
                drawn.push_back(OnScreen(label.box, area_));
            }
            backdrop_.Cover(drawn);
        }
    }
    // The loupe first: it is what the eye goes to.
    if (loupe) {
        loupe_.Show();
    } else {
        loupe_.Hide();
    }
    window_.Show(area_);
}

void GridOverlay::Hide() {
    window_.Hide();
    loupe_.Hide();
    backdrop_.Clear();
}

// The region's outline and the two lines each way, a light line edged in dark so that it
// shows on any background, and each cell's digit where the cell has room for it and the
// pointer does not cover it. Lines and digits grow with the monitor's DPI, in whole pixels.
// On the `last` level before the loupe every line keeps three lines' width inside the region,
// off the pixels on which the level before drew its lines: those show again as they are
// beneath before this level's lines are read for the loupe.
void GridOverlay::PlanGrid(const ScreenArea& region, ScreenPoint pointer, int dpi, bool last) {
    area_ = OverlayWindow::Placement(region);
    const int width = area_.width;
    const int height = area_.height;
    const int line = std::max(1, MulDiv(1, dpi, kStandardDpi));
    const int columns[] = {0, GridCell(region, 8).left - region.left, GridCell(region, 9).left - region.left, width};
    const int rows[] = {0, GridCell(region, 4).top - region.top, GridCell(region, 1).top - region.top, height};
    dark_.clear();
    light_.clear();
    clear_.clear();
    labels_.clear();
    const int inset = last ? 3 * line : 0;
    for (const int column : columns) {
        const int left = CoreStart(column, width, line) + (column == 0 ? inset : column == width ? -inset : 0);
        dark_.push_back({left - line, inset, left + 2 * line, height - inset});
        light_.push_back({left, inset, left + line, height - inset});
    }
    for (const int row : rows) {
        const int top = CoreStart(row, height, line) + (row == 0 ? inset : row == height ? -inset : 0);
        dark_.push_back({inset, top - line, width - inset, top + 2 * line});
        light_.push_back({inset, top, width - inset, top + line});
    }

    const SIZE digitSize = font_.DigitSize();
    const SIZE box{digitSize.cx + 4 * line, digitSize.cy};
    const SIZE pointerSize = PointerSize(dpi);
    const RECT covered{pointer.x - region.left, pointer.y - region.top, pointer.x - region.left + pointerSize.cx,
                       pointer.y - region.top + pointerSize.cy};
    for (int digit = 1; digit <= 9; ++digit) {
        const ScreenArea cell = GridCell(region, digit);
        if (cell.width < box.cx + 6 * line || cell.height < box.cy + 6 * line) {
            continue;
        }
        const int left = cell.left - region.left + (cell.width - box.cx) / 2;
        const int top = cell.top - region.top + (cell.height - box.cy) / 2;
        const RECT label{left, top, left + box.cx, top + box.cy};
        RECT overlap{};
        if (!IntersectRect(&overlap, &label, &covered)) {
            labels_.push_back({label, static_cast<char>('0' + digit)});
        }
    }
}

// A thin outline just outside the region, a dark line around a light one, where the monitor
// has room for it; the region itself shows through.
void GridOverlay::PlanOutline(const ScreenArea& monitor, const ScreenArea& region, int dpi) {
    const int line = std::max(1, MulDiv(1, dpi, kStandardDpi));
    const int left = std::max(monitor.left, region.left - 2 * line);
    const int top = std::max(monitor.top, region.top - 2 * line);
    const int right = std::min(monitor.left + monitor.width, region.left + region.width + 2 * line);
    const int bottom = std::min(monitor.top + monitor.height, region.top + region.height + 2 * line);
    area_ = {left, top, right - left, bottom - top};
    dark_ = {{0, 0, area_.width, area_.height}};
    light_ = {{line, line, area_.width - line, area_.height - line}};
    clear_ = {{region.left - left, region.top - top, region.left - left + region.width,
               region.top - top + region.height}};
    labels_.clear();
}

void GridOverlay::Draw(HDC dc, SIZE size) const {
    const Brush seeThrough(CreateSolidBrush(OverlayWindow::kSeeThrough));
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, seeThrough.get());
    // The dark edges first, then the light cores over them, so that crossings stay light.
    for (const RECT& rect : dark_) {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    for (const RECT& rect : light_) {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
    }
    for (const RECT& rect : clear_) {
        FillRect(dc, &rect, seeThrough.get());
    }
    const SelectedObject selected(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    for (const Label& label : labels_) {
        RECT box = label.box;
        FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOWTEXT));
        DrawTextA(dc, &label.digit, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

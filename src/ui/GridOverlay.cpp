#include "ui/GridOverlay.h"

#include "emulation/KeypadGrid.h"
#include "platform/Handle.h"
#include "platform/PaintContext.h"

#include <algorithm>

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

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, brush);
}

}  // namespace

GridOverlay::GridOverlay()
    : window_(kClassName, true, [this](HDC dc, SIZE size) { Draw(dc, size); }) {}

void GridOverlay::Show(const ScreenArea&, const ScreenArea& region, ScreenPoint pointer) {
    region_ = region;
    pointer_ = pointer;
    window_.Show(region);
}

void GridOverlay::Hide() { window_.Hide(); }

// The region's outline and the two lines each way, a light line edged in dark so that it
// shows on any background, and each cell's digit where the cell has room for it and the
// pointer does not cover it. Lines and digits grow with the monitor's DPI, in whole pixels.
void GridOverlay::Draw(HDC dc, SIZE size) const {
    const int dpi = window_.Dpi();
    const int line = std::max(1, MulDiv(1, dpi, kStandardDpi));
    const Brush seeThrough(CreateSolidBrush(OverlayWindow::kSeeThrough));
    FillArea(dc, 0, 0, size.cx, size.cy, seeThrough.get());

    const int columns[] = {0, GridCell(region_, 8).left - region_.left,
                           GridCell(region_, 9).left - region_.left, size.cx};
    const int rows[] = {0, GridCell(region_, 4).top - region_.top, GridCell(region_, 1).top - region_.top,
                        size.cy};
    // The dark edges first, then the light cores over them, so that crossings stay light.
    const struct {
        HBRUSH brush;
        int offset;
        int width;
    } passes[] = {{GetSysColorBrush(COLOR_WINDOWTEXT), -line, 3 * line},
                  {GetSysColorBrush(COLOR_WINDOW), 0, line}};
    for (const auto& pass : passes) {
        for (const int column : columns) {
            const int left = CoreStart(column, size.cx, line) + pass.offset;
            FillArea(dc, left, 0, left + pass.width, size.cy, pass.brush);
        }
        for (const int row : rows) {
            const int top = CoreStart(row, size.cy, line) + pass.offset;
            FillArea(dc, 0, top, size.cx, top + pass.width, pass.brush);
        }
    }

    // Not smoothed: a blended edge pixel would be neither the see-through colour nor drawn.
    const Font font(CreateFontA(-MulDiv(kDigitHeight, dpi, kStandardDpi), 0, 0, 0, FW_BOLD, FALSE,
                                FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
    const SelectedObject selected(dc, font.get());
    SIZE text{};
    GetTextExtentPoint32A(dc, "8", 1, &text);
    const SIZE box{text.cx + 4 * line, text.cy};
    const RECT pointer{pointer_.x - region_.left, pointer_.y - region_.top,
                       pointer_.x - region_.left + GetSystemMetrics(SM_CXCURSOR),
                       pointer_.y - region_.top + GetSystemMetrics(SM_CYCURSOR)};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    for (int digit = 1; digit <= 9; ++digit) {
        const ScreenArea cell = GridCell(region_, digit);
        if (cell.width < box.cx + 6 * line || cell.height < box.cy + 6 * line) {
            continue;
        }
        const int left = cell.left - region_.left + (cell.width - box.cx) / 2;
        const int top = cell.top - region_.top + (cell.height - box.cy) / 2;
        RECT label{left, top, left + box.cx, top + box.cy};
        RECT covered{};
        if (IntersectRect(&covered, &label, &pointer)) {
            continue;
        }
        FillRect(dc, &label, GetSysColorBrush(COLOR_WINDOWTEXT));
        const char name[] = {static_cast<char>('0' + digit)};
        DrawTextA(dc, name, 1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

#include "ui/Loupe.h"

#include "platform/PaintContext.h"

#include <cstddef>
#include <vector>

namespace {

const char kClassName[] = "TarnwickLoupe";
constexpr int kDigitHeight = 10;  // pixels at the standard DPI

struct Gap {
    int start;
    int end;
};

// The stretches of an axis `length` long between the picture's spans: where the cuts run.
std::vector<Gap> Gaps(const std::vector<LoupeSpan>& spans, int zoom, int length) {
    std::vector<Gap> gaps;
    int at = 0;
    for (const LoupeSpan& span : spans) {
        if (span.at > at) {
            gaps.push_back({at, span.at});
        }
        at = span.at + span.pixels * zoom;
    }
    if (length > at) {
        gaps.push_back({at, length});
    }
    return gaps;
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, brush);
}

}  // namespace

Loupe::Loupe() : window_(kClassName, false, [this](HDC dc, SIZE size) { Draw(dc, size); }), font_(kDigitHeight) {}

void Loupe::Read(const LoupeLayout& layout, int dpi, const Backdrop& screen) {
    layout_ = layout;
    const ScreenDc screenDc;
    font_.UseDpi(dpi);
    pictureDc_ = MemoryDc();
    picture_ = Bitmap(CreateCompatibleBitmap(screenDc.get(), layout.source.width, layout.source.height));
    pictureDc_ = MemoryDc(picture_ ? CreateCompatibleDC(screenDc.get()) : nullptr);
    if (pictureDc_) {
        SelectObject(pictureDc_.get(), picture_.get());
        screen.Copy(pictureDc_.get(), layout.source);
    }
}

void Loupe::Show() { window_.Show(layout_.window); }

void Loupe::Hide() {
    window_.Hide();
    pictureDc_ = MemoryDc();
    picture_ = Bitmap();
}

// The picture in pieces, each screen pixel a square of the zoom's size, never smoothed; the
// cuts between them, a light line edged in dark like the grid's, so that they show on any
// picture; the pointer's pixel framed; each labelled cell's digit, small, in its top-left
// corner, where it leaves at least half of every cell and its centre in sight.
void Loupe::Draw(HDC dc, SIZE size) const {
    const int zoom = layout_.zoom;
    const int line = layout_.line;
    const HBRUSH dark = GetSysColorBrush(COLOR_WINDOWTEXT);
    const HBRUSH light = GetSysColorBrush(COLOR_WINDOW);
    FillArea(dc, 0, 0, size.cx, size.cy, dark);
    if (pictureDc_) {
        SetStretchBltMode(dc, COLORONCOLOR);
        for (const LoupeSpan& column : layout_.columns) {
            for (const LoupeSpan& row : layout_.rows) {
                StretchBlt(dc, column.at, row.at, column.pixels * zoom, row.pixels * zoom, pictureDc_.get(),
                           column.from - layout_.source.left, row.from - layout_.source.top, column.pixels,
                           row.pixels, SRCCOPY);
            }
        }
    }
    // Dark edges are what the gaps already hold; the light cores go over every crossing.
    for (const Gap& gap : Gaps(layout_.columns, zoom, size.cx)) {
        FillArea(dc, gap.start + line, 0, gap.end - line, size.cy, light);
    }
    for (const Gap& gap : Gaps(layout_.rows, zoom, size.cy)) {
        FillArea(dc, 0, gap.start + line, size.cx, gap.end - line, light);
    }

    // Light next to the pixel, then dark: beside a cut, dark at its edges, the frame still shows.
    const ScreenArea& pixel = layout_.pointer;
    RECT frame{pixel.left - line, pixel.top - line, pixel.left + pixel.width + line, pixel.top + pixel.height + line};
    FrameRect(dc, &frame, light);
    InflateRect(&frame, line, line);
    FrameRect(dc, &frame, dark);

    const SelectedObject selected(dc, font_.get());
    const SIZE digit = font_.DigitSize();
    const SIZE box{digit.cx + 2 * line, digit.cy};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    // All the digits or none, so that a keypad's worth never shows with gaps in it.
    for (std::size_t index = 0; index < layout_.cells.size(); ++index) {
        const ScreenArea& cell = layout_.cells[index];
        if (layout_.labelled[index] &&
            (box.cx > cell.width || box.cy > cell.height || 2 * box.cx * box.cy > cell.width * cell.height)) {
            return;
        }
    }
    for (std::size_t index = 0; index < layout_.cells.size(); ++index) {
        const ScreenArea& cell = layout_.cells[index];
        RECT label{cell.left, cell.top, cell.left + box.cx, cell.top + box.cy};
        RECT covered{};
        if (!layout_.labelled[index] || IntersectRect(&covered, &label, &frame)) {
            continue;
        }
        FillRect(dc, &label, dark);
        const char name[] = {static_cast<char>('1' + index)};
        DrawTextA(dc, name, 1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

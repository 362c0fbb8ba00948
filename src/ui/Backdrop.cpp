#include "ui/Backdrop.h"

#include "platform/PaintContext.h"

#include <utility>

namespace {

Region EmptyRegion() { return Region(CreateRectRgn(0, 0, 0, 0)); }

// Pixels in pages of their own, which go back to the system with the bitmap: reads made at every
// digit and let go at every close would leave the heap in pieces.
Bitmap PagedBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return Bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

}  // namespace

void Backdrop::Copy(HDC dc, const ScreenArea& area) const {
    const ScreenDc screen;
    // Without CAPTUREBLT: Windows leaves the layered windows out.
    BitBlt(dc, 0, 0, area.width, area.height, screen.get(), area.left, area.top, SRCCOPY);
    const RECT wanted{area.left, area.top, area.left + area.width, area.top + area.height};
    const MemoryDc source(CreateCompatibleDC(dc));
    for (const Piece& piece : pieces_) {
        RECT common{};
        if (!IntersectRect(&common, &wanted, &piece.area) || !source) {
            continue;
        }
        const Region clip = EmptyRegion();
        CombineRgn(clip.get(), piece.kept.get(), nullptr, RGN_COPY);
        OffsetRgn(clip.get(), -area.left, -area.top);
        SelectClipRgn(dc, clip.get());
        const SelectedObject selected(source.get(), piece.bitmap.get());
        BitBlt(dc, piece.area.left - area.left, piece.area.top - area.top, piece.area.right - piece.area.left,
               piece.area.bottom - piece.area.top, source.get(), 0, 0, SRCCOPY);
    }
    SelectClipRgn(dc, nullptr);
}

void Backdrop::Cover(const std::vector<RECT>& drawn) {
    if (!covered_) {
        covered_ = EmptyRegion();
    }
    const Region fresh = EmptyRegion();
    for (const RECT& rect : drawn) {
        const Region part(CreateRectRgnIndirect(&rect));
        CombineRgn(fresh.get(), fresh.get(), part.get(), RGN_OR);
    }
    Piece piece{{}, Bitmap(), EmptyRegion()};
    if (CombineRgn(piece.kept.get(), fresh.get(), covered_.get(), RGN_DIFF) == NULLREGION) {
        return;
    }
    GetRgnBox(piece.kept.get(), &piece.area);
    const ScreenDc screen;
    const int width = piece.area.right - piece.area.left;
    const int height = piece.area.bottom - piece.area.top;
    piece.bitmap = PagedBitmap(width, height);
    const MemoryDc memory(piece.bitmap ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory) {
        return;
    }
    {
        const SelectedObject selected(memory.get(), piece.bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), piece.area.left, piece.area.top, SRCCOPY);
    }
    CombineRgn(covered_.get(), covered_.get(), piece.kept.get(), RGN_OR);
    pieces_.push_back(std::move(piece));
}

void Backdrop::Clear() {
    pieces_.clear();
    covered_ = Region();
}

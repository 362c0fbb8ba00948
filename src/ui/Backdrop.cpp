#include "ui/Backdrop.h"

#include "platform/PaintContext.h"

namespace {

Region EmptyRegion() { return Region(CreateRectRgn(0, 0, 0, 0)); }

bool SameArea(const ScreenArea& a, const ScreenArea& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

}  // namespace

void Backdrop::Copy(HDC dc, const ScreenArea& area) const {
    const ScreenDc screen;
    // Without CAPTUREBLT: Windows leaves the layered windows out.
    BitBlt(dc, 0, 0, area.width, area.height, screen.get(), area.left, area.top, SRCCOPY);
    if (!dc_) {
        return;
    }
    const Region clip = EmptyRegion();
    CombineRgn(clip.get(), covered_.get(), nullptr, RGN_COPY);
    OffsetRgn(clip.get(), monitor_.left - area.left, monitor_.top - area.top);
    SelectClipRgn(dc, clip.get());
    BitBlt(dc, 0, 0, area.width, area.height, dc_.get(), area.left - monitor_.left, area.top - monitor_.top,
           SRCCOPY);
    SelectClipRgn(dc, nullptr);
}

void Backdrop::Cover(const ScreenArea& monitor, const std::vector<RECT>& drawn) {
    const ScreenDc screen;
    if (!dc_ || !SameArea(monitor, monitor_)) {
        Clear();
        // Memory the system hands out only as it is written: the parts never covered cost nothing.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = monitor.width;
        info.bmiHeader.biHeight = -monitor.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = Bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_ = MemoryDc(bitmap_ ? CreateCompatibleDC(screen.get()) : nullptr);
        if (!dc_) {
            return;
        }
        SelectObject(dc_.get(), bitmap_.get());
        covered_ = EmptyRegion();
        monitor_ = monitor;
    }
    const Region now = EmptyRegion();
    for (const RECT& rect : drawn) {
        const Region part(CreateRectRgn(rect.left - monitor.left, rect.top - monitor.top, rect.right - monitor.left,
                                        rect.bottom - monitor.top));
        CombineRgn(now.get(), now.get(), part.get(), RGN_OR);
    }
    const Region fresh = EmptyRegion();
    CombineRgn(fresh.get(), now.get(), covered_.get(), RGN_DIFF);
    SelectClipRgn(dc_.get(), fresh.get());
    for (const RECT& rect : drawn) {
        const RECT kept{rect.left - monitor.left, rect.top - monitor.top, rect.right - monitor.left,
                        rect.bottom - monitor.top};
        if (RectInRegion(fresh.get(), &kept)) {
            BitBlt(dc_.get(), kept.left, kept.top, kept.right - kept.left, kept.bottom - kept.top, screen.get(),
                   rect.left, rect.top, SRCCOPY);
        }
    }
    SelectClipRgn(dc_.get(), nullptr);
    CombineRgn(covered_.get(), covered_.get(), now.get(), RGN_OR);
}

void Backdrop::Clear() {
    covered_ = Region();
    dc_ = MemoryDc();
    bitmap_ = Bitmap();
    monitor_ = {};
}

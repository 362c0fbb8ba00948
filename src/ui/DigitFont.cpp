#include "ui/DigitFont.h"

#include "platform/PaintContext.h"

namespace {

constexpr int kStandardDpi = 96;

}  // namespace

// Not smoothed: on the grid's see-through overlay a blended edge pixel would be neither the
// see-through colour nor drawn.
void DigitFont::UseDpi(int dpi) {
    if (font_ && dpi == dpi_) {
        return;
    }
    font_ = Font(CreateFontA(-MulDiv(height_, dpi, kStandardDpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS,
                             "Tahoma"));
    dpi_ = dpi;
    const ScreenDc screen;
    const SelectedObject selected(screen.get(), font_.get());
    GetTextExtentPoint32A(screen.get(), "8", 1, &digitSize_);
}

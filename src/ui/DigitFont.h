#pragma once

#include "platform/Handle.h"

#include <windows.h>

// The bold, unsmoothed font the keypad grid and its loupe label their cells in, at a monitor's
// DPI: made again only when the DPI changes.
class DigitFont {
public:
    // `height` in pixels at the standard DPI.
    explicit DigitFont(int height) : height_(height) {}

    void UseDpi(int dpi);
    HFONT get() const { return font_.get(); }
    // The size of one digit in the font.
    SIZE DigitSize() const { return digitSize_; }

private:
    int height_;
    Font font_;
    int dpi_ = 0;
    SIZE digitSize_{};
};

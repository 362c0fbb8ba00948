#pragma once

#include "emulation/LoupeLayout.h"
#include "platform/Handle.h"
#include "ui/Backdrop.h"
#include "ui/DigitFont.h"
#include "ui/OverlayWindow.h"

#include <windows.h>

// The keypad grid's loupe over every other window: the picture that a LoupeLayout lays out,
// read from the screen as it is beneath the grid's windows, each pixel a whole square, the
// region's cuts between the squares, each cell's digit where it fits and the pointer's pixel
// outlined. Nothing in it is live: it shows the screen as it was when it was read.
class Loupe {
public:
    Loupe();
    Loupe(const Loupe&) = delete;
    Loupe& operator=(const Loupe&) = delete;
    ~Loupe() = default;

    // Reads the picture of `layout` from `screen`, drawn at `dpi`; shown by the next Show.
    void Read(const LoupeLayout& layout, int dpi, const Backdrop& screen);
    void Show();
    void Hide();

private:
    void Draw(HDC dc, SIZE size) const;

    OverlayWindow window_;
    LoupeLayout layout_{};
    DigitFont font_;
    Bitmap picture_;
    MemoryDc pictureDc_;  // destroyed before the bitmap it holds
};

#pragma once

#include "platform/Geometry.h"
#include "platform/Handle.h"

#include <windows.h>

#include <vector>

// The screen as it is beneath the keypad grid's own windows. Windows leaves layered windows
// out of a read of the screen; Wine reads back what the display shows, those windows
// included. So before the grid's windows first cover some pixels, the overlay has them read
// and kept here, and a read of the screen takes every pixel kept here from here.
class Backdrop {
public:
    Backdrop() = default;
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;
    ~Backdrop() = default;

    // Copies `area` of the screen, as it is beneath the grid's windows, into `dc` at (0, 0).
    void Copy(HDC dc, const ScreenArea& area) const;
    // The grid's windows are about to draw `drawn` (rectangles of the screen): what lies
    // beneath the parts not kept yet is read, in one go, and kept.
    void Cover(const std::vector<RECT>& drawn);
    // The grid's windows are hidden: nothing is kept any longer.
    void Clear();

private:
    // One read of the screen and the pixels of it that are kept, in screen coordinates.
    struct Piece {
        RECT area;
        Bitmap bitmap;
        Region kept;
    };

    std::vector<Piece> pieces_;
    Region covered_;  // every piece's kept pixels
};

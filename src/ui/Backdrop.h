#pragma once

#include "platform/Geometry.h"
#include "platform/Handle.h"

#include <windows.h>

#include <vector>

// The screen as it is beneath the keypad grid's own windows. Windows leaves layered windows
// out of a read of the screen; Wine reads back what the display shows, those windows
// included, and what lay beneath one just hidden or moved comes back only once its program
// has repainted it, which may be any time later. So whatever the grid's windows are about to
// cover for the first time since the grid opened is read first and kept here, and a read of
// the screen takes every pixel they have covered from here.
class Backdrop {
public:
    Backdrop() = default;
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;
    ~Backdrop() = default;

    // Copies `area` of the screen, as it is beneath the grid's windows, into `dc` at (0, 0).
    void Copy(HDC dc, const ScreenArea& area) const;
    // The grid's windows are about to draw `drawn` (rectangles of the screen, all on
    // `monitor`): what lies beneath the parts they have not covered before is kept.
    void Cover(const ScreenArea& monitor, const std::vector<RECT>& drawn);
    // The grid's windows are hidden: nothing is kept any longer.
    void Clear();

private:
    ScreenArea monitor_{};
    Bitmap bitmap_;  // the monitor's pixels, those beneath the grid's windows kept
    MemoryDc dc_;    // destroyed before the bitmap it holds
    Region covered_;  // what the grid's windows have covered, in the bitmap's pixels
};

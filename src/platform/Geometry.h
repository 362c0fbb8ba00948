#pragma once

// Points and rectangles of the screen, in physical pixels of the virtual screen, whose origin
// is the primary monitor's top-left corner: a monitor left of or above it has negative ones.

struct ScreenPoint {
    int x;
    int y;
};

// [left, left + width) x [top, top + height): a monitor, a part of one, or the bounding
// rectangle of them all.
struct ScreenArea {
    int left;
    int top;
    int width;
    int height;
};

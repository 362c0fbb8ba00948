#pragma once

#include "platform/Geometry.h"

#include <array>
#include <optional>
#include <vector>

// The loupe: once the keypad grid's region is small enough, a magnified picture of it and of
// a margin around it, beside it on the same monitor. Every screen pixel is a square of `zoom`
// loupe pixels, and the region's cuts run between the squares, never over them. The
// arithmetic is pure: the overlay only paints what it says. Loupe positions are in physical
// pixels from the loupe's top-left corner.

// Screen pixels [from, from + pixels) of one axis, drawn from loupe position `at` on.
struct LoupeSpan {
    int from;
    int pixels;
    int at;
};

struct LoupeLayout {
    ScreenArea window;  // where the loupe stands on the screen
    ScreenArea source;  // the part of the screen it shows: the region and its margin
    int zoom;           // loupe pixels per screen pixel, each way
    int line;           // the width of a drawn line; a cut is three: light between two dark
    // The picture's pieces, left to right and top to bottom. A cut lies in the gap before a
    // span, or after the last one.
    std::vector<LoupeSpan> columns;
    std::vector<LoupeSpan> rows;
    std::array<ScreenArea, 9> cells;  // digit d's cell at [d - 1]
    // Whether digit d labels its cell. Where a side is under three pixels, several digits pick
    // the same pixel; it shows the digit at its place on the keypad: 7 and 9 on two pixels
    // side by side, 8 on a single one.
    std::array<bool, 9> labelled;
    ScreenArea pointer;  // the square of the pixel under the pointer
};

// The loupe for `region`, a part of `monitor`, at `dpi`. None while the region, with a margin
// of its own size on each side, does not fit twice magnified into a third of the monitor's
// shorter side. Otherwise the zoom is the largest whole number that fits it there (at most 16
// at 96 DPI, in proportion above), the margin fills the rest, kept on the monitor, and the
// loupe stands on the side with the most room, clear of the region, its margin and the pointer
// (at the region's centre, a standard pointer's size).
std::optional<LoupeLayout> PlaceLoupe(const ScreenArea& monitor, const ScreenArea& region, int dpi);

#pragma once

#include "platform/Geometry.h"

#include <optional>
#include <vector>

// The keypad grid: a region of the screen cut into three columns and three rows, laid out as
// the keypad is (7 8 9 / 4 5 6 / 1 2 3). A digit narrows the region to one of its cells, down
// to a single pixel, so any pixel of a monitor up to 3^n pixels a side is n digits away.
// Regions are [left, left + width) x [top, top + height) in virtual-screen pixels.
//
// The arithmetic is pure: the engine drives it and the overlay only paints what it says.

enum class GridDirection { Left, Down, Right, Up };

// The cell of `region` that keypad `digit` (1 to 9) picks. A side of at least three pixels is
// cut at width * c / 3; a narrower one is split by its pixels, the last pixel standing in
// for a third it does not have.
ScreenArea GridCell(const ScreenArea& region, int digit);

// The pixel the pointer is put on for a region: its centre, rounded up and to the left.
ScreenPoint GridCentre(const ScreenArea& region);

// `region` moved by its own width or height, stopped at the edges of `monitor`, which holds it.
ScreenArea ShiftedRegion(const ScreenArea& region, GridDirection direction, const ScreenArea& monitor);

// The monitor beside `current` in `direction`: of those wholly on that side, one that shares
// rows (or columns) with it first, then the nearest. None when no monitor lies that way.
std::optional<ScreenArea> NextMonitor(const ScreenArea& current, GridDirection direction,
                                      const std::vector<ScreenArea>& monitors);

// The monitor that holds `point`, or the nearest one when none does (during a display change
// the pointer can be on none); the first of the nearest on a tie. `monitors` is not empty.
ScreenArea MonitorAt(ScreenPoint point, const std::vector<ScreenArea>& monitors);

// One opening of the grid: the regions it has narrowed through and where the pointer was
// put in each, so that a step back returns to both.
class KeypadGrid {
public:
    void Open(const ScreenArea& monitor, ScreenPoint pointer);
    void Close() { levels_.clear(); }
    bool IsOpen() const { return !levels_.empty(); }

    const ScreenArea& Monitor() const { return levels_.front().region; }
    const ScreenArea& Region() const { return levels_.back().region; }
    // Where the pointer was when the grid opened.
    ScreenPoint Origin() const { return origin_; }
    // True once the region is a single pixel: nothing is left to pick.
    bool Narrowest() const { return Region().width == 1 && Region().height == 1; }

    // Narrows to the cell of `digit`; the pointer's new place.
    ScreenPoint Pick(int digit);
    // Undoes the last digit; the pointer's place then. None when no digit is left to undo.
    std::optional<ScreenPoint> Back();
    // Moves the region by its own size within its monitor, or, while it is still a whole
    // monitor, to the next monitor; the pointer's new place. None when there is no monitor
    // that way.
    std::optional<ScreenPoint> Move(GridDirection direction, const std::vector<ScreenArea>& monitors);

private:
    struct Level {
        ScreenArea region;
        ScreenPoint pointer;
    };
    std::vector<Level> levels_;
    ScreenPoint origin_{0, 0};
};

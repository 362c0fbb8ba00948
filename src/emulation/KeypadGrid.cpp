#include "emulation/KeypadGrid.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace {

struct Span {
    int start;
    int length;
};

Span Third(int start, int length, int index) {
    if (length < 3) {
        return {start + std::min(index, length - 1), 1};
    }
    const int from = length * index / 3;
    const int to = length * (index + 1) / 3;
    return {start + from, to - from};
}

int Right(const ScreenArea& area) { return area.left + area.width; }
int Bottom(const ScreenArea& area) { return area.top + area.height; }

// How far `point` lies from `area` along one axis: 0 within it.
int Outside(int point, int start, int end) { return std::max({start - point, point - (end - 1), 0}); }

// The square of the distance from `point` to the nearest pixel of `area`: 0 within it.
long long DistanceSquared(const ScreenArea& area, ScreenPoint point) {
    const long long dx = Outside(point.x, area.left, Right(area));
    const long long dy = Outside(point.y, area.top, Bottom(area));
    return dx * dx + dy * dy;
}

// How far `to` lies beyond `from` in `direction` (negative when not wholly beyond it), and
// whether the two share rows (or columns, for up and down).
std::tuple<int, bool> Beyond(const ScreenArea& from, const ScreenArea& to, GridDirection direction) {
    const bool sideways = direction == GridDirection::Left || direction == GridDirection::Right;
    const bool share = sideways ? to.top < Bottom(from) && from.top < Bottom(to)
                                : to.left < Right(from) && from.left < Right(to);
    switch (direction) {
        case GridDirection::Left: return {from.left - Right(to), share};
        case GridDirection::Right: return {to.left - Right(from), share};
        case GridDirection::Up: return {from.top - Bottom(to), share};
        case GridDirection::Down: return {to.top - Bottom(from), share};
    }
    return {-1, false};
}

}  // namespace

ScreenArea GridCell(const ScreenArea& region, int digit) {
    const int column = (digit - 1) % 3;
    const int row = 2 - (digit - 1) / 3;
    const Span x = Third(region.left, region.width, column);
    const Span y = Third(region.top, region.height, row);
    return {x.start, y.start, x.length, y.length};
}

ScreenPoint GridCentre(const ScreenArea& region) {
    return {region.left + (region.width - 1) / 2, region.top + (region.height - 1) / 2};
}

ScreenArea ShiftedRegion(const ScreenArea& region, GridDirection direction, const ScreenArea& monitor) {
    ScreenArea moved = region;
    switch (direction) {
        case GridDirection::Left: moved.left = std::max(monitor.left, region.left - region.width); break;
        case GridDirection::Right:
            moved.left = std::min(Right(monitor) - region.width, region.left + region.width);
            break;
        case GridDirection::Up: moved.top = std::max(monitor.top, region.top - region.height); break;
        case GridDirection::Down:
            moved.top = std::min(Bottom(monitor) - region.height, region.top + region.height);
            break;
    }
    return moved;
}

std::optional<ScreenArea> NextMonitor(const ScreenArea& current, GridDirection direction,
                                      const std::vector<ScreenArea>& monitors) {
    std::optional<ScreenArea> best;
    std::tuple<bool, int> bestRank{};
    for (const ScreenArea& monitor : monitors) {
        const auto [gap, share] = Beyond(current, monitor, direction);
        const std::tuple<bool, int> rank{!share, gap};
        if (gap >= 0 && (!best || rank < bestRank)) {
            best = monitor;
            bestRank = rank;
        }
    }
    return best;
}

ScreenArea MonitorAt(ScreenPoint point, const std::vector<ScreenArea>& monitors) {
    return *std::min_element(monitors.begin(), monitors.end(), [&](const ScreenArea& a, const ScreenArea& b) {
        return DistanceSquared(a, point) < DistanceSquared(b, point);
    });
}

void KeypadGrid::Open(const ScreenArea& monitor, ScreenPoint pointer) {
    levels_ = {{monitor, pointer}};
    origin_ = pointer;
}

ScreenPoint KeypadGrid::Pick(int digit) {
    const ScreenArea cell = GridCell(Region(), digit);
    levels_.push_back({cell, GridCentre(cell)});
    return levels_.back().pointer;
}

std::optional<ScreenPoint> KeypadGrid::Back() {
    if (levels_.size() < 2) {
        return std::nullopt;
    }
    levels_.pop_back();
    return levels_.back().pointer;
}

std::optional<ScreenPoint> KeypadGrid::Move(GridDirection direction, const std::vector<ScreenArea>& monitors) {
    Level& level = levels_.back();
    if (levels_.size() == 1) {
        const std::optional<ScreenArea> next = NextMonitor(level.region, direction, monitors);
        if (!next) {
            return std::nullopt;
        }
        level.region = *next;
    } else {
        level.region = ShiftedRegion(level.region, direction, Monitor());
    }
    level.pointer = GridCentre(level.region);
    return level.pointer;
}

#include "emulation/KeypadGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

bool operator==(const ScreenArea& a, const ScreenArea& b) {
    return std::tie(a.left, a.top, a.width, a.height) == std::tie(b.left, b.top, b.width, b.height);
}

// Cells at the keypad's places, cut at width * c / 3; sides under three pixels split by their
// pixels; monitors left of and above the primary have negative coordinates.
TEST(KeypadGridTest, CellsAndCentresFollowTheKeypadOnEveryRegion) {
    const struct {
        ScreenArea region;
        int digit;
        ScreenArea cell;
        ScreenPoint centre;
    } table[] = {
        {{0, 0, 1024, 768}, 7, {0, 0, 341, 256}, {170, 127}},
        {{0, 0, 1024, 768}, 5, {341, 256, 341, 256}, {511, 383}},
        {{0, 0, 1024, 768}, 3, {682, 512, 342, 256}, {852, 639}},
        {{0, 0, 341, 256}, 3, {227, 170, 114, 86}, {283, 212}},
        {{-1920, 0, 1920, 1080}, 9, {-640, 0, 640, 360}, {-321, 179}},
        {{-1920, 0, 1920, 1080}, 1, {-1920, 720, 640, 360}, {-1601, 899}},
        {{-1281, -301, 1281, 301}, 4, {-1281, -201, 427, 100}, {-1068, -152}},
        {{0, 0, 4, 4}, 3, {2, 2, 2, 2}, {2, 2}},
        {{0, 0, 4, 4}, 5, {1, 1, 1, 1}, {1, 1}},
        {{10, 20, 2, 1}, 7, {10, 20, 1, 1}, {10, 20}},
        {{10, 20, 2, 1}, 8, {11, 20, 1, 1}, {11, 20}},
        {{10, 20, 2, 1}, 3, {11, 20, 1, 1}, {11, 20}},
        {{5, 5, 1, 2}, 1, {5, 6, 1, 1}, {5, 6}},
    };
    for (const auto& row : table) {
        const ScreenArea cell = GridCell(row.region, row.digit);
        EXPECT_TRUE(cell == row.cell) << row.region.left << "," << row.region.top << " " << row.region.width
                                      << "x" << row.region.height << " digit " << row.digit;
        EXPECT_EQ(GridCentre(cell).x, row.centre.x) << row.digit;
        EXPECT_EQ(GridCentre(cell).y, row.centre.y) << row.digit;
    }
}

// The promise: every pixel of a side is ceil(log3(side)) digits away, and none is lost.
TEST(KeypadGridTest, EveryPixelOfASideIsAtMostLog3DigitsAway) {
    for (const int side : {1, 2, 3, 4, 5, 8, 9, 10, 26, 28, 80, 82, 729, 730, 1080, 1920, 2160, 3840, 6561}) {
        int expected = 0;
        for (int reach = 1; reach < side; reach *= 3) {
            ++expected;
        }
        int worst = 0;
        for (int pixel = -7; pixel < side - 7; pixel += side > 2200 ? 7 : 1) {
            ScreenArea region{-7, 3, side, 1};
            int digits = 0;
            while (region.width > 1) {
                int digit = 1;
                for (; digit <= 3; ++digit) {
                    const ScreenArea cell = GridCell(region, digit);
                    if (pixel >= cell.left && pixel < cell.left + cell.width) {
                        region = cell;
                        break;
                    }
                }
                ASSERT_LE(digit, 3) << "pixel " << pixel << " is in no cell of side " << side;
                ++digits;
            }
            EXPECT_EQ(region.left, pixel);
            worst = std::max(worst, digits);
        }
        EXPECT_EQ(worst, expected) << side;
    }
}

// A Ctrl move stops at the edges of the region's own monitor, never where no monitor is: here
// the right one is smaller and lower than the primary.
TEST(KeypadGridTest, RegionsMoveWithinTheirMonitorAndMonitorsAreFoundByDirection) {
    const ScreenArea primary{0, 0, 1920, 1080}, left{-1920, 0, 1920, 1080}, above{0, -1080, 1920, 1080},
        right{1920, 500, 1280, 1024};
    const struct {
        ScreenArea monitor;
        int digit;
        GridDirection direction;
        ScreenArea moved;
    } moves[] = {
        {right, 9, GridDirection::Up, {2773, 500, 427, 341}},      // not up to the primary's top
        {right, 9, GridDirection::Right, {2773, 500, 427, 341}},   // at the right edge
        {right, 7, GridDirection::Left, {1920, 500, 426, 341}},    // not onto the primary
        {right, 1, GridDirection::Down, {1920, 1182, 426, 342}},   // at the bottom edge
        {right, 5, GridDirection::Up, {2346, 500, 427, 341}},
        {primary, 3, GridDirection::Right, {1280, 720, 640, 360}},  // not onto the lower one
        {primary, 3, GridDirection::Down, {1280, 720, 640, 360}},
        {primary, 5, GridDirection::Left, {0, 360, 640, 360}},
    };
    for (const auto& row : moves) {
        KeypadGrid grid;
        grid.Open(row.monitor, {0, 0});
        grid.Pick(row.digit);
        const std::optional<ScreenPoint> pointer = grid.Move(row.direction, {primary, right});
        EXPECT_TRUE(grid.Region() == row.moved) << row.monitor.left << " " << row.digit << " "
                                                << static_cast<int>(row.direction) << ": " << grid.Region().left
                                                << "," << grid.Region().top;
        EXPECT_TRUE(pointer && pointer->x == GridCentre(row.moved).x && pointer->y == GridCentre(row.moved).y);
    }

    const std::vector<ScreenArea> monitors{primary, left, above, right};
    const struct {
        ScreenArea from;
        GridDirection direction;
        std::optional<ScreenArea> next;
    } table[] = {
        {primary, GridDirection::Left, left},   {primary, GridDirection::Right, right},
        {primary, GridDirection::Up, above},    {primary, GridDirection::Down, std::nullopt},
        {left, GridDirection::Right, primary},  {right, GridDirection::Left, primary},
        {above, GridDirection::Down, primary},  {right, GridDirection::Right, std::nullopt},
    };
    for (const auto& row : table) {
        const std::optional<ScreenArea> next = NextMonitor(row.from, row.direction, monitors);
        ASSERT_EQ(next.has_value(), row.next.has_value()) << row.from.left << " " << static_cast<int>(row.direction);
        EXPECT_TRUE(!next || *next == *row.next) << row.from.left << " " << static_cast<int>(row.direction);
    }
    // Off every monitor, as during a display change: the nearest one.
    const std::pair<ScreenPoint, ScreenArea> pointers[] = {
        {{-5, 10}, left},      {{1925, 1500}, right}, {{1000, 1100}, primary}, {{-1930, 1090}, left},
        {{1930, 400}, primary}, {{1930, 499}, right},  {{9000, 9000}, right},   {{-9000, -9000}, left},
    };
    for (const auto& [pointer, monitor] : pointers) {
        EXPECT_TRUE(MonitorAt(pointer, monitors) == monitor) << pointer.x << "," << pointer.y;
    }
}

}  // namespace

#include "emulation/LoupeLayout.h"

#include "emulation/KeypadGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <tuple>

namespace {

bool operator==(const ScreenArea& a, const ScreenArea& b) {
    return std::tie(a.left, a.top, a.width, a.height) == std::tie(b.left, b.top, b.width, b.height);
}

bool Overlap(const ScreenArea& a, const ScreenArea& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// Regions three digits deep in each corner of a 1024x768 monitor, sides of one and two pixels
// at 150 % and 200 %, a monitor left of the primary, and a region still too large.
TEST(LoupeLayoutTest, TheLoupeStandsBesideTheRegionWithWholeSquaresAndCutsBetweenThem) {
    const ScreenArea small{0, 0, 1024, 768}, wide{0, 0, 1920, 1080}, left{-1920, 0, 1920, 1080};
    const struct {
        ScreenArea monitor;
        ScreenArea region;
        int dpi;
        ScreenArea window;
        int zoom;  // 0: no loupe
        ScreenArea cell7;
        ScreenArea cell3;
        // Digits 1 to 9 that label their cell: where several pick one pixel, the one at the
        // pixel's place on the keypad.
        const char* labelled;
    } table[] = {
        {small, {0, 0, 37, 28}, 96, {128, 0, 256, 256}, 2, {3, 3, 24, 18}, {57, 45, 26, 20}, "111111111"},
        {small, {986, 0, 38, 28}, 96, {640, 0, 256, 256}, 2, {171, 3, 24, 18}, {227, 45, 26, 20}, "111111111"},
        {small, {0, 739, 37, 29}, 96, {128, 512, 256, 256}, 2, {3, 189, 24, 18}, {57, 233, 26, 20}, "111111111"},
        {small, {986, 739, 38, 29}, 96, {640, 512, 256, 256}, 2, {171, 189, 24, 18}, {227, 233, 26, 20}, "111111111"},
        {small, {340, 255, 12, 9}, 120, {391, 133, 252, 252}, 6, {87, 93, 24, 18}, {141, 135, 24, 18}, "111111111"},
        {wide, {500, 300, 1, 2}, 144, {560, 123, 348, 354}, 24, {150, 150, 24, 24}, {150, 180, 24, 24}, "010000010"},
        {wide, {1918, 1078, 2, 2}, 192, {1560, 742, 338, 338}, 32, {262, 262, 32, 32}, {300, 300, 32, 32}, "101000101"},
        {left, {-1000, 500, 23, 13}, 96, {-948, 328, 357, 357}, 5, {118, 143, 35, 20}, {199, 189, 40, 25}, "111111111"},
        {wide, {0, 0, 71, 40}, 96, {}, 0, {}, {}, ""},
    };
    for (const auto& row : table) {
        const std::optional<LoupeLayout> loupe = PlaceLoupe(row.monitor, row.region, row.dpi);
        const ScreenArea& r = row.region;
        const auto name = testing::Message() << r.left << "," << r.top << " " << r.width << "x" << r.height;
        ASSERT_EQ(loupe.has_value(), row.zoom > 0) << name;
        if (!loupe) {
            continue;
        }
        EXPECT_TRUE(loupe->window == row.window) << name << ": " << loupe->window.left << "," << loupe->window.top;
        EXPECT_EQ(loupe->zoom, row.zoom) << name;
        EXPECT_TRUE(loupe->cells[6] == row.cell7) << name;
        EXPECT_TRUE(loupe->cells[2] == row.cell3) << name;
        std::string labelled;
        for (const bool shown : loupe->labelled) {
            labelled += shown ? '1' : '0';
        }
        EXPECT_EQ(labelled, row.labelled) << name;

        // On the monitor, a third of its shorter side at most, clear of the region, its margin
        // and the pointer; the margin at least the region's size wherever the monitor has it.
        const ScreenArea& m = row.monitor;
        const ScreenArea& w = loupe->window;
        EXPECT_TRUE(w.left >= m.left && w.top >= m.top && w.left + w.width <= m.left + m.width &&
                    w.top + w.height <= m.top + m.height)
            << name;
        EXPECT_LE(std::max(w.width, w.height), std::min(m.width, m.height) / 3) << name;
        const ScreenPoint centre = GridCentre(r);
        EXPECT_FALSE(Overlap(w, loupe->source)) << name;
        EXPECT_FALSE(Overlap(w, {centre.x, centre.y, 32 * row.dpi / 96, 32 * row.dpi / 96})) << name;
        const ScreenArea& s = loupe->source;
        EXPECT_GE(r.left - s.left, std::min(r.width, r.left - m.left)) << name;
        EXPECT_GE(s.left + s.width - r.left - r.width, std::min(r.width, m.left + m.width - r.left - r.width)) << name;
        EXPECT_GE(r.top - s.top, std::min(r.height, r.top - m.top)) << name;
        EXPECT_GE(s.top + s.height - r.top - r.height, std::min(r.height, m.top + m.height - r.top - r.height))
            << name;
        // Every pixel a whole square.
        for (std::size_t index = 0; index < loupe->cells.size(); ++index) {
            const ScreenArea cell = GridCell(r, static_cast<int>(index) + 1);
            EXPECT_EQ(loupe->cells[index].width, cell.width * loupe->zoom) << name << " digit " << index + 1;
            EXPECT_EQ(loupe->cells[index].height, cell.height * loupe->zoom) << name << " digit " << index + 1;
        }
        EXPECT_EQ(loupe->pointer.width, loupe->zoom) << name;
    }
}

}  // namespace

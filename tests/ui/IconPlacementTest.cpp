#include "ui/IconPlacement.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct Placement {
    int clientWidth, clientHeight, iconWidth, iconHeight;
    int x, y;
};

void PrintTo(const Placement& p, std::ostream* out) {
    *out << "client " << p.clientWidth << "x" << p.clientHeight << ", icon " << p.iconWidth << "x"
         << p.iconHeight;
}

class IconPlacementTest : public ::testing::TestWithParam<Placement> {};

TEST_P(IconPlacementTest, CentresTruncatingTowardZero) {
    const Placement& p = GetParam();
    const IconOrigin origin = CentredIconOrigin(p.clientWidth, p.clientHeight, p.iconWidth, p.iconHeight);
    EXPECT_EQ(origin.x, p.x);
    EXPECT_EQ(origin.y, p.y);
}

INSTANTIATE_TEST_SUITE_P(Table, IconPlacementTest,
                         ::testing::Values(Placement{32, 32, 32, 32, 0, 0},     // exactly the icon
                                           Placement{33, 34, 32, 32, 1, 1},     // odd pixel to the left
                                           Placement{160, 100, 32, 32, 64, 34},
                                           Placement{31, 30, 32, 32, 0, 0},     // -0.5 truncates to 0
                                           Placement{28, 0, 32, 32, -1, -15},   // -1.5 to -1
                                           Placement{0, 0, 48, 16, -23, -7}));

}  // namespace

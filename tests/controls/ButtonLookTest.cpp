#include "controls/ButtonLook.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using namespace button_look;

struct CentringCase {
    int frameWidth, frameHeight, blockWidth, blockHeight;
    int dx, dy;
};

void PrintTo(const CentringCase& c, std::ostream* out) {
    *out << "frame " << c.frameWidth << "x" << c.frameHeight << ", block " << c.blockWidth << "x"
         << c.blockHeight;
}

class CentringTest : public ::testing::TestWithParam<CentringCase> {};

TEST_P(CentringTest, HalvesTheSpareRoomTowardZero) {
    const CentringCase& c = GetParam();
    const Offset offset = CentringOffset(c.frameWidth, c.frameHeight, c.blockWidth, c.blockHeight);
    EXPECT_EQ(offset.dx, c.dx);
    EXPECT_EQ(offset.dy, c.dy);
}

INSTANTIATE_TEST_SUITE_P(Captions, CentringTest,
                         ::testing::Values(CentringCase{73, 27, 23, 13, 25, 7},   // fits, odd room
                                           CentringCase{74, 28, 24, 14, 25, 7},   // fits, even room
                                           CentringCase{40, 20, 40, 20, 0, 0},    // exactly the frame
                                           CentringCase{40, 20, 41, 21, 0, 0},    // one too large
                                           CentringCase{40, 20, 43, 23, -1, -1},  // three too large
                                           CentringCase{40, 20, 44, 24, -2, -2},
                                           CentringCase{0, 0, 5, 0, -2, 0}));

struct ColourCase {
    bool hot, pressed, focused;
    ColourPair pair;
};

void PrintTo(const ColourCase& c, std::ostream* out) {
    *out << "hot " << c.hot << ", pressed " << c.pressed << ", focused " << c.focused;
}

class ColourPairTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourPairTest, HotOrPressedBeforeFocusBeforeNormal) {
    const ColourCase& c = GetParam();
    EXPECT_EQ(ChooseColourPair(c.hot, c.pressed, c.focused), c.pair);
}

INSTANTIATE_TEST_SUITE_P(States, ColourPairTest,
                         ::testing::Values(ColourCase{false, false, false, ColourPair::Normal},
                                           ColourCase{false, false, true, ColourPair::Focus},
                                           ColourCase{true, false, false, ColourPair::Hot},
                                           ColourCase{true, false, true, ColourPair::Hot},
                                           ColourCase{false, true, false, ColourPair::Hot},
                                           ColourCase{false, true, true, ColourPair::Hot},
                                           ColourCase{true, true, true, ColourPair::Hot}));

struct ThemeCase {
    bool disabled, pressed, hot, isDefault;
    int state;
};

void PrintTo(const ThemeCase& c, std::ostream* out) {
    *out << "disabled " << c.disabled << ", pressed " << c.pressed << ", hot " << c.hot
         << ", default " << c.isDefault;
}

class ThemeStateTest : public ::testing::TestWithParam<ThemeCase> {};

TEST_P(ThemeStateTest, FirstMatchWins) {
    const ThemeCase& c = GetParam();
    EXPECT_EQ(ChooseThemeState(c.disabled, c.pressed, c.hot, c.isDefault), c.state);
}

INSTANTIATE_TEST_SUITE_P(Flags, ThemeStateTest,
                         ::testing::Values(ThemeCase{false, false, false, false, kNormal},
                                           ThemeCase{false, false, false, true, kDefaulted},
                                           ThemeCase{false, false, true, false, kHot},
                                           ThemeCase{false, false, true, true, kHot},
                                           ThemeCase{false, true, false, true, kPressed},
                                           ThemeCase{false, true, true, true, kPressed},
                                           ThemeCase{true, false, false, false, kDisabled},
                                           ThemeCase{true, true, true, true, kDisabled}));

}  // namespace

#pragma once

// The arithmetic of the flat button's look, apart from any drawing so that it can be
// checked anywhere.

namespace button_look {

// Which of the button's colour pairs (background and text) a paint uses.
enum class ColourPair { Hot, Normal, Focus };

// Hot or pressed wins over focused, which wins over normal.
ColourPair ChooseColourPair(bool hot, bool pressed, bool focused);

struct Offset {
    int dx;
    int dy;
};

// How far a wrapped caption block, measured at the frame's top left, moves to sit centred
// in the frame. A block larger than the frame gets a negative offset, halved with
// truncation toward zero: 3 pixels too wide moves it 1 pixel left.
Offset CentringOffset(int frameWidth, int frameHeight, int blockWidth, int blockHeight);

// The visual style's push-button states.
constexpr int kNormal = 1;
constexpr int kHot = 2;
constexpr int kPressed = 3;
constexpr int kDisabled = 4;
constexpr int kDefaulted = 5;

// First match wins: disabled, pressed, hot, default, normal.
int ChooseThemeState(bool disabled, bool pressed, bool hot, bool isDefault);

}  // namespace button_look

#include "controls/ButtonLook.h"

namespace button_look {

ColourPair ChooseColourPair(bool hot, bool pressed, bool focused) {
    if (hot || pressed) {
        return ColourPair::Hot;
    }
    return focused ? ColourPair::Focus : ColourPair::Normal;
}

Offset CentringOffset(int frameWidth, int frameHeight, int blockWidth, int blockHeight) {
    // Integer division in C++ truncates toward zero, negative quotients included.
    return {(frameWidth - blockWidth) / 2, (frameHeight - blockHeight) / 2};
}

int ChooseThemeState(bool disabled, bool pressed, bool hot, bool isDefault) {
    if (disabled) {
        return kDisabled;
    }
    if (pressed) {
        return kPressed;
    }
    if (hot) {
        return kHot;
    }
    return isDefault ? kDefaulted : kNormal;
}

}  // namespace button_look

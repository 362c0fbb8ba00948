#include "controls/ThemedButton.h"

#include <vssym32.h>

static_assert(button_look::kNormal == PBS_NORMAL && button_look::kHot == PBS_HOT &&
                  button_look::kPressed == PBS_PRESSED && button_look::kDisabled == PBS_DISABLED &&
                  button_look::kDefaulted == PBS_DEFAULTED,
              "the push-button states are the visual style's");

ThemedButton::ThemedButton() { drawFrame_ = false; }

void ThemedButton::SetThemeLibrary(const ThemeLibrary* library) {
    themeLibrary_ = library;
    if (!Themed()) {
        drawFrame_ = true;
    }
}

// Asked at every paint, so a switch of the desktop's look shows at the next one.
bool ThemedButton::Themed() const { return themeLibrary_ && themeLibrary_->IsAppThemed(); }

void ThemedButton::PaintBackground(HDC dc, const RECT& rect) {
    const HTHEME theme = Themed() ? themeLibrary_->OpenThemeData(hwnd(), L"BUTTON") : nullptr;
    if (!theme) {
        FlatButton::PaintBackground(dc, rect);
        return;
    }
    const int state = button_look::ChooseThemeState(disabled_, pressed_, hot_, isDefault_);
    themeLibrary_->PaintThemedBackground(theme, hwnd(), dc, BP_PUSHBUTTON, state, &rect, nullptr);
    themeLibrary_->CloseThemeData(theme);
}

void ThemedButton::PaintBorder(HDC dc, const RECT& rect) {
    if (!Themed()) {
        FlatButton::PaintBorder(dc, rect);
    }
}

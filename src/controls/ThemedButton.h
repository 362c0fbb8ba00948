#pragma once

#include "controls/FlatButton.h"
#include "controls/ThemeLibrary.h"

// A flat button that, while the desktop is themed, paints the visual style's push-button
// background for its state and no frame; unthemed, it paints as a flat button.
class ThemedButton : public FlatButton {
public:
    ThemedButton();

    // `library` is borrowed: its owner keeps it for the button's whole life. Unthemed now
    // (or with no library), the button draws its frames for good.
    void SetThemeLibrary(const ThemeLibrary* library);

protected:
    void PaintBackground(HDC dc, const RECT& rect) override;
    void PaintBorder(HDC dc, const RECT& rect) override;

private:
    bool Themed() const;

    const ThemeLibrary* themeLibrary_ = nullptr;
};

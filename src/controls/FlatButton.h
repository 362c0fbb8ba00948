#pragma once

#include "controls/ButtonLook.h"
#include "platform/Control.h"
#include "platform/Handle.h"

#include <windows.h>

// A push button of a dialog template made flat: it draws itself (whatever style the
// dialog gives it), shows a raised frame while the pointer is over it (hot) and a sunken
// one while pressed, and follows the dialog's default push button. Pressing, capture and
// BN_CLICKED stay the system button's.
class FlatButton : public Control {
public:
    FlatButton();

    bool PreTranslateMessage(MSG& message) override;
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void PreSubclassWindow(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The steps of every paint, in this order, straight into the draw request's DC.
    virtual void PaintBackground(HDC dc, const RECT& rect);
    virtual void PaintBorder(HDC dc, const RECT& rect);
    virtual void PaintCaption(HDC dc, const char* title, const RECT& item);

    // Set by the pointer; cleared when it leaves, on focus loss, cancel mode and disabling.
    bool hot_ = false;
    // The item state of the draw request being painted.
    bool pressed_ = false;
    bool focused_ = false;
    bool disabled_ = false;
    // Whether the dialog made this its default push button.
    bool isDefault_ = false;
    // Whether PaintBorder draws the hot and pressed frames.
    bool drawFrame_ = true;

private:
    struct Colours {
        COLORREF background;
        COLORREF text;
    };

    void DrawItem(const DRAWITEMSTRUCT& request);
    Colours CurrentColours() const;
    void ResetColours(bool repaint);
    void LeaveHot();
    void EnsureTooltip();
    void OnMouseMove(WPARAM keys, LPARAM position);
    bool WatchForLeave();
    void OnEnable(bool enabled);
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);

    const POINT pressedShift_{1, 1};
    // Indexed by button_look::ColourPair: hot, normal, focus.
    Colours colours_[3]{};
    OwnedWindow tooltip_;
};

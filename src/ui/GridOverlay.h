#pragma once

#include "platform/Handle.h"
#include "platform/Services.h"
#include "ui/Backdrop.h"
#include "ui/DigitFont.h"
#include "ui/Loupe.h"
#include "ui/OverlayWindow.h"

#include <windows.h>

#include <vector>

// The keypad grid over every other window, in an overlay moved onto whatever region the grid
// shows and painted only when that changes. Once the region is small enough for the loupe,
// the overlay only outlines it, so that its pixels stay in sight, and the loupe shows them
// magnified beside it.
class GridOverlay final : public GridView {
public:
    GridOverlay();
    GridOverlay(const GridOverlay&) = delete;
    GridOverlay& operator=(const GridOverlay&) = delete;
    ~GridOverlay() override = default;

    void Show(const ScreenArea& monitor, const ScreenArea& region, ScreenPoint pointer) override;
    void Hide() override;

private:
    struct Label {
        RECT box;
        char digit;
    };

    void PlanGrid(const ScreenArea& region, ScreenPoint pointer, int dpi, bool last);
    void PlanOutline(const ScreenArea& monitor, const ScreenArea& region, int dpi);
    void Draw(HDC dc, SIZE size) const;

    OverlayWindow window_;
    Loupe loupe_;
    Backdrop backdrop_;
    // What the overlay draws, in its own pixels, in this order: dark, then light, then
    // see-through again where it must not hide the region, then the digits.
    ScreenArea area_{};
    std::vector<RECT> dark_;
    std::vector<RECT> light_;
    std::vector<RECT> clear_;
    std::vector<Label> labels_;
    DigitFont font_;
};

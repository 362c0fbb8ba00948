#pragma once

#include "platform/Services.h"
#include "ui/OverlayWindow.h"

#include <windows.h>

// The keypad grid over every other window, in an overlay moved onto whatever region the grid
// shows and painted only when that changes.
class GridOverlay final : public GridView {
public:
    GridOverlay();
    GridOverlay(const GridOverlay&) = delete;
    GridOverlay& operator=(const GridOverlay&) = delete;
    ~GridOverlay() override = default;

    void Show(const ScreenArea& monitor, const ScreenArea& region, ScreenPoint pointer) override;
    void Hide() override;

private:
    void Draw(HDC dc, SIZE size) const;

    OverlayWindow window_;
    ScreenArea region_{};
    ScreenPoint pointer_{};
};

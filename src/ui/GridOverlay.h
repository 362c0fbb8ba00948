#pragma once

#include "platform/Handle.h"
#include "platform/Services.h"

#include <windows.h>

// The keypad grid over every other window: topmost and click-through, never activated, with
// no taskbar button and no place in Alt+Tab. Made once, then moved onto whatever region the
// grid shows and painted only when that changes, so that between keys it costs nothing.
class GridOverlay final : public GridView {
public:
    GridOverlay() = default;
    GridOverlay(const GridOverlay&) = delete;
    GridOverlay& operator=(const GridOverlay&) = delete;
    ~GridOverlay() override = default;

    void Show(const ScreenArea& monitor, const ScreenArea& region, ScreenPoint pointer) override;
    void Hide() override;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void Draw(HDC dc, SIZE size) const;

    OwnedWindow owner_;
    OwnedWindow window_;  // destroyed before its owner
    // Every paint is drawn here first and copied in one go, so that no half-drawn grid ever
    // shows. Kept while the grid is open: the digits that narrow it draw into the same memory.
    Bitmap bitmap_;
    MemoryDc buffer_;  // destroyed before the bitmap it holds
    SIZE bufferSize_{};
    ScreenArea region_{};
    ScreenPoint pointer_{};
};

#pragma once

#include "platform/Geometry.h"
#include "platform/Handle.h"

#include <windows.h>

#include <functional>

// A window drawn over every other program's: topmost and click-through, never activated, with
// no taskbar button and no place in Alt+Tab. Made at its first show and reused; painted only
// when it is shown, so that between shows it costs nothing.
class OverlayWindow {
public:
    // Paints every pixel of the window's client area, `size` pixels large.
    using Painter = std::function<void(HDC dc, SIZE size)>;

    // What a see-through overlay paints where what lies beneath should show.
    static constexpr COLORREF kSeeThrough = RGB(255, 0, 255);

    // `className` names the kind of overlay, one class per kind. A `seeThrough` window shows
    // what lies beneath wherever it paints kSeeThrough; any other shows every pixel it paints.
    OverlayWindow(const char* className, bool seeThrough, Painter painter);
    OverlayWindow(const OverlayWindow&) = delete;
    OverlayWindow& operator=(const OverlayWindow&) = delete;
    ~OverlayWindow() = default;

    // Puts the window on `area`, raises it above every window, the taskbar included, and
    // paints it before returning.
    void Show(const ScreenArea& area);
    // Moves the window that shows to `topLeft` as it is, without painting it again, and raises
    // it above every window again.
    void MoveTo(ScreenPoint topLeft);
    // The rectangle a window shown on `area` takes: one pixel short of the bottom when `area`
    // is a whole monitor, which Windows 10 and 11 would take for a full-screen program and
    // drop the taskbar behind the other windows while it is up.
    static ScreenArea Placement(const ScreenArea& area);
    // The DPI of the monitor that holds most of `area` (Windows 8.1 and later); the system's
    // elsewhere.
    static int MonitorDpi(const ScreenArea& area);
    // Hides the window and lets go of its paint buffer.
    void Hide();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Create();
    void Paint();

    const char* className_;
    bool seeThrough_;
    Painter painter_;
    OwnedWindow owner_;
    OwnedWindow window_;  // destroyed before its owner
    // Every paint is drawn here first and copied in one go, so that nothing half-drawn ever
    // shows. Kept while the window shows, so that the next paint reuses its memory.
    Bitmap bitmap_;
    MemoryDc buffer_;  // destroyed before the bitmap it holds
    SIZE bufferSize_{};
};

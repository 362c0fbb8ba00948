#pragma once

#include "platform/Services.h"
#include "ui/OverlayWindow.h"

#include <windows.h>

// Tarnwick's icon in a small box just below and right of the pointer, over every other window,
// while the letter keys are Tarnwick's: the user sees at a glance why a letter does not type.
class PointerBadge final : public BadgeView {
public:
    PointerBadge();
    PointerBadge(const PointerBadge&) = delete;
    PointerBadge& operator=(const PointerBadge&) = delete;
    ~PointerBadge() override = default;

    void Show(ScreenPoint pointer) override;
    void Hide() override;

private:
    void Draw(HDC dc, SIZE size) const;

    static constexpr int kStandardDpi = 96;

    OverlayWindow window_;
    // The monitor the badge was last shown on, kept while it shows: it follows every move of
    // the pointer, which mostly stays on one monitor.
    HMONITOR monitor_ = nullptr;
    RECT monitorArea_{};
    int dpi_ = kStandardDpi;
    int side_ = 0;  // while it shows
};

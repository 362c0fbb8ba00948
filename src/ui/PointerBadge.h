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
    void Hide() override { window_.Hide(); }

private:
    void Draw(HDC dc, SIZE size) const;

    static constexpr int kStandardDpi = 96;

    OverlayWindow window_;
    int dpi_ = kStandardDpi;  // the pointer's monitor's, when last shown
};

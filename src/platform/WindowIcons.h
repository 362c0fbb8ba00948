#pragma once

#include "platform/Handle.h"

#include <windows.h>

// A window's own pictures from one icon group, each the image drawn for the size the system
// shows it at (caption and taskbar: the small-icon size; Alt+Tab: the icon size), so they stay
// sharp at every display scale instead of being scaled from another size. The icons are
// destroyed with this object, which must outlive the window.
class WindowIcons {
public:
    // Loads group `id` of `module` at both sizes and gives the icons to `window`.
    void Apply(HWND window, HINSTANCE module, int id);

private:
    OwnedIcon small_;
    OwnedIcon big_;
};

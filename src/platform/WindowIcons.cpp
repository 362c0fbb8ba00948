#include "platform/WindowIcons.h"

namespace {

OwnedIcon LoadAtSize(HINSTANCE module, int id, int widthMetric, int heightMetric) {
    return OwnedIcon(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                                   GetSystemMetrics(widthMetric),
                                                   GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR)));
}

}  // namespace

void WindowIcons::Apply(HWND window, HINSTANCE module, int id) {
    small_ = LoadAtSize(module, id, SM_CXSMICON, SM_CYSMICON);
    big_ = LoadAtSize(module, id, SM_CXICON, SM_CYICON);
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_.get()));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_.get()));
}

#include "platform/Control.h"

void Control::Subclass(HWND window) {
    if (hwnd() || !window) {
        return;
    }
    PreSubclassWindow(window);
    Attach(window);
}

bool Control::PreTranslateMessage(MSG&) { return false; }

bool Control::OnReflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void Control::PreSubclassWindow(HWND) {}

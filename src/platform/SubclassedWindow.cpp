#include "platform/SubclassedWindow.h"

namespace {
// The window property that leads from a window to its object.
const char kObjectProperty[] = "Tarnwick.SubclassedWindow";
}  // namespace

SubclassedWindow::~SubclassedWindow() { Detach(); }

SubclassedWindow* SubclassedWindow::FromHandle(HWND window) {
    return window ? static_cast<SubclassedWindow*>(GetPropA(window, kObjectProperty)) : nullptr;
}

bool SubclassedWindow::Attach(HWND window) {
    if (window_ || !window || FromHandle(window) || !SetPropA(window, kObjectProperty, this)) {
        return false;
    }
    window_ = window;
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    return true;
}

void SubclassedWindow::Detach() {
    if (!window_) {
        return;
    }
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropA(window_, kObjectProperty);
    window_ = nullptr;
}

LRESULT SubclassedWindow::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT SubclassedWindow::Default() {
    return CallWindowProcA(original_, window_, current_.message, current_.wParam, current_.lParam);
}

LRESULT CALLBACK SubclassedWindow::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    SubclassedWindow* object = FromHandle(window);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = object->original_;
        object->Detach();
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
    // Messages nest (a handler may send another), so the outer one is put back afterwards.
    const CurrentMessage outer = object->current_;
    object->current_ = {message, wParam, lParam};
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    object->current_ = outer;
    return result;
}

#include "platform/SubclassedWindow.h"

// The object lives in the window's user data, which the system keeps for the application:
// it is read on every message, and a window property would cost Wine a server round trip.
// Only a window running our procedure is asked, so another's user data is never taken
// for an object.

SubclassedWindow::~SubclassedWindow() { Detach(); }

SubclassedWindow* SubclassedWindow::FromHandle(HWND window) {
    if (!window ||
        GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&SubclassProc)) {
        return nullptr;
    }
    return reinterpret_cast<SubclassedWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool SubclassedWindow::Attach(HWND window) {
    if (window_ || !window || FromHandle(window)) {
        return false;
    }
    window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    return true;
}

void SubclassedWindow::Detach() {
    if (!window_) {
        return;
    }
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

LRESULT SubclassedWindow::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT SubclassedWindow::Default() { return Default(current_.wParam, current_.lParam); }

LRESULT SubclassedWindow::Default(WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(original_, window_, current_.message, wParam, lParam);
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

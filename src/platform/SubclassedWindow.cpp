#include "platform/SubclassedWindow.h"

#include <algorithm>

// The object lives in the window's user data, which the system keeps for the application:
// it is read on every message, and a window property would cost Wine a server round trip.
// Only a window running our procedure is asked, so another's user data is never taken
// for an object.

std::string WindowTextOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

SubclassedWindow::~SubclassedWindow() { Detach(); }

void SubclassedWindow::CenterWindow() {
    const HWND owner = GetWindow(window_, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT rect;
    if (!GetWindowRect(window_, &rect) ||
        !GetMonitorInfoA(MonitorFromWindow(owner ? owner : window_, MONITOR_DEFAULTTONEAREST),
                         &monitor)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    RECT over = area;
    if (owner && !GetWindowRect(owner, &over)) {
        return;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int x = (over.left + over.right - width) / 2;
    const int y = (over.top + over.bottom - height) / 2;
    SetWindowPos(window_, nullptr, std::max<int>(area.left, std::min<int>(x, area.right - width)),
                 std::max<int>(area.top, std::min<int>(y, area.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

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

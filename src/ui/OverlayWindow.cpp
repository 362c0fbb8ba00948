#include "ui/OverlayWindow.h"

#include "platform/PaintContext.h"
#include "platform/SystemLibrary.h"

#include <utility>

namespace {

RECT ToRect(const ScreenArea& area) { return {area.left, area.top, area.left + area.width, area.top + area.height}; }

// Whether `area` is the whole rectangle of the monitor it lies on.
bool WholeMonitor(const ScreenArea& area) {
    const RECT rect = ToRect(area);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    return GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info) &&
           EqualRect(&info.rcMonitor, &rect);
}

}  // namespace

OverlayWindow::OverlayWindow(const char* className, bool seeThrough, Painter painter)
    : className_(className), seeThrough_(seeThrough), painter_(std::move(painter)) {}

void OverlayWindow::Create() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &OverlayWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className_;
    RegisterClassA(&windowClass);
    // An owned window gets no taskbar button from any shell, Wine's included, which lists
    // every unowned one. Its owner is a hidden window of its own: the dialog, once minimised,
    // would hide the windows it owns.
    owner_ = OwnedWindow(
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
    window_ = OwnedWindow(CreateWindowExA(
        WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
        className_, "", WS_POPUP, 0, 0, 0, 0, owner_.get(), nullptr, instance, this));
    // A layered window shows nothing until it is told how; clicks pass through it either way.
    if (seeThrough_) {
        SetLayeredWindowAttributes(window_.get(), kSeeThrough, 0, LWA_COLORKEY);
    } else {
        SetLayeredWindowAttributes(window_.get(), 0, 255, LWA_ALPHA);
    }
}

void OverlayWindow::Show(const ScreenArea& area) {
    if (!window_) {
        Create();
    }
    const ScreenArea placed = Placement(area);
    // Raised again at every show: the taskbar may have come up above it meanwhile.
    SetWindowPos(window_.get(), HWND_TOPMOST, placed.left, placed.top, placed.width, placed.height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // Painted at once, not when the message queue next runs dry.
    RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void OverlayWindow::MoveTo(ScreenPoint topLeft) {
    SetWindowPos(window_.get(), HWND_TOPMOST, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void OverlayWindow::Hide() {
    if (window_) {
        ShowWindow(window_.get(), SW_HIDE);
    }
    buffer_ = MemoryDc();
    bitmap_ = Bitmap();
    bufferSize_ = {};
}

ScreenArea OverlayWindow::Placement(const ScreenArea& area) {
    return {area.left, area.top, area.width, WholeMonitor(area) ? area.height - 1 : area.height};
}

int OverlayWindow::MonitorDpi(const ScreenArea& area) {
    // Loaded at the first ask and kept for the program's life.
    static const Module library = LoadSystemLibrary("shcore.dll");
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const FARPROC found = library ? GetProcAddress(library.get(), "GetDpiForMonitor") : nullptr;
    const RECT rect = ToRect(area);
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the scale the user chose
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (found && SUCCEEDED(reinterpret_cast<GetDpiForMonitorFunction>(reinterpret_cast<void*>(found))(
                     MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &dpiX, &dpiY))) {
        return static_cast<int>(dpiY);
    }
    const ScreenDc screen;
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

LRESULT CALLBACK OverlayWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<OverlayWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT:
            if (self) {
                self->Paint();
                return 0;
            }
            break;
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel
        case WM_NCHITTEST: return HTTRANSPARENT;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void OverlayWindow::Paint() {
    const PaintContext paint(window_.get());
    RECT client{};
    GetClientRect(window_.get(), &client);
    const SIZE size{client.right, client.bottom};
    if (size.cx > bufferSize_.cx || size.cy > bufferSize_.cy) {
        buffer_ = MemoryDc();
        bitmap_ = Bitmap(CreateCompatibleBitmap(paint.dc(), size.cx, size.cy));
        buffer_ = MemoryDc(bitmap_ ? CreateCompatibleDC(paint.dc()) : nullptr);
        SelectObject(buffer_.get(), bitmap_.get());
        bufferSize_ = buffer_ ? size : SIZE{};
    }
    if (!buffer_) {
        painter_(paint.dc(), size);
        return;
    }
    painter_(buffer_.get(), size);
    BitBlt(paint.dc(), 0, 0, size.cx, size.cy, buffer_.get(), 0, 0, SRCCOPY);
}

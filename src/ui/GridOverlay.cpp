#include "ui/GridOverlay.h"

#include "emulation/KeypadGrid.h"
#include "platform/PaintContext.h"

#include <algorithm>

namespace {

const char kClassName[] = "TarnwickGrid";
// Whatever is painted in this colour is not drawn at all: the user sees what lies beneath.
constexpr COLORREF kSeeThrough = RGB(255, 0, 255);
constexpr int kStandardDpi = 96;
constexpr int kDigitHeight = 20;  // pixels at the standard DPI

// The DPI of the monitor the window is on (Windows 10 and later); the system's elsewhere.
int WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (found) {
        return static_cast<int>(
            reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(found))(window));
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Where the light core of a line at edge `edge` of a `length`-pixel side begins, `width`
// wide: the outline's lines lie just inside the region, so that their dark edges fit too.
int CoreStart(int edge, int length, int width) {
    if (edge <= 0) {
        return width;
    }
    if (edge >= length) {
        return length - 2 * width;
    }
    return edge - width / 2;
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, brush);
}

}  // namespace

void GridOverlay::Show(const ScreenArea& monitor, const ScreenArea& region, ScreenPoint pointer) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!window_) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &GridOverlay::Procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
        // An owned window gets no taskbar button from any shell, Wine's included, which
        // lists every unowned one. Its owner is a hidden window of its own: the dialog, once
        // minimised, would hide the windows it owns.
        owner_ = OwnedWindow(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                             instance, nullptr));
        window_ = OwnedWindow(CreateWindowExA(
            WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
            kClassName, "", WS_POPUP, 0, 0, 0, 0, owner_.get(), nullptr, instance, this));
        SetLayeredWindowAttributes(window_.get(), kSeeThrough, 0, LWA_COLORKEY);
    }
    region_ = region;
    pointer_ = pointer;
    // Windows 10 and 11 take a topmost window that covers a whole monitor for a full-screen
    // program, and drop the taskbar behind the other windows while it is up.
    const bool wholeMonitor = region.left == monitor.left && region.top == monitor.top &&
                              region.width == monitor.width && region.height == monitor.height;
    // Raised again at every show: the taskbar may have come up above it meanwhile.
    SetWindowPos(window_.get(), HWND_TOPMOST, region.left, region.top, region.width,
                 wholeMonitor ? region.height - 1 : region.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // Painted at once, not when the message queue next runs dry.
    RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void GridOverlay::Hide() {
    if (window_) {
        ShowWindow(window_.get(), SW_HIDE);
    }
    buffer_ = MemoryDc();
    bitmap_ = Bitmap();
    bufferSize_ = {};
}

LRESULT CALLBACK GridOverlay::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<GridOverlay*>(GetWindowLongPtrA(window, GWLP_USERDATA));
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

void GridOverlay::Paint() {
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
        Draw(paint.dc(), size);
        return;
    }
    Draw(buffer_.get(), size);
    BitBlt(paint.dc(), 0, 0, size.cx, size.cy, buffer_.get(), 0, 0, SRCCOPY);
}

// The region's outline and the two lines each way, a light line edged in dark so that it
// shows on any background, and each cell's digit where the cell has room for it and the
// pointer does not cover it. Lines and digits grow with the monitor's DPI, in whole pixels.
void GridOverlay::Draw(HDC dc, SIZE size) const {
    const int dpi = WindowDpi(window_.get());
    const int line = std::max(1, MulDiv(1, dpi, kStandardDpi));
    const Brush seeThrough(CreateSolidBrush(kSeeThrough));
    FillArea(dc, 0, 0, size.cx, size.cy, seeThrough.get());

    const int columns[] = {0, GridCell(region_, 8).left - region_.left,
                           GridCell(region_, 9).left - region_.left, size.cx};
    const int rows[] = {0, GridCell(region_, 4).top - region_.top, GridCell(region_, 1).top - region_.top,
                        size.cy};
    // The dark edges first, then the light cores over them, so that crossings stay light.
    const struct {
        HBRUSH brush;
        int offset;
        int width;
    } passes[] = {{GetSysColorBrush(COLOR_WINDOWTEXT), -line, 3 * line},
                  {GetSysColorBrush(COLOR_WINDOW), 0, line}};
    for (const auto& pass : passes) {
        for (const int column : columns) {
            const int left = CoreStart(column, size.cx, line) + pass.offset;
            FillArea(dc, left, 0, left + pass.width, size.cy, pass.brush);
        }
        for (const int row : rows) {
            const int top = CoreStart(row, size.cy, line) + pass.offset;
            FillArea(dc, 0, top, size.cx, top + pass.width, pass.brush);
        }
    }

    // Not smoothed: a blended edge pixel would be neither the see-through colour nor drawn.
    const Font font(CreateFontA(-MulDiv(kDigitHeight, dpi, kStandardDpi), 0, 0, 0, FW_BOLD, FALSE,
                                FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
    const SelectedObject selected(dc, font.get());
    SIZE text{};
    GetTextExtentPoint32A(dc, "8", 1, &text);
    const SIZE box{text.cx + 4 * line, text.cy};
    const RECT pointer{pointer_.x - region_.left, pointer_.y - region_.top,
                       pointer_.x - region_.left + GetSystemMetrics(SM_CXCURSOR),
                       pointer_.y - region_.top + GetSystemMetrics(SM_CYCURSOR)};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    for (int digit = 1; digit <= 9; ++digit) {
        const ScreenArea cell = GridCell(region_, digit);
        if (cell.width < box.cx + 6 * line || cell.height < box.cy + 6 * line) {
            continue;
        }
        const int left = cell.left - region_.left + (cell.width - box.cx) / 2;
        const int top = cell.top - region_.top + (cell.height - box.cy) / 2;
        RECT label{left, top, left + box.cx, top + box.cy};
        RECT covered{};
        if (IntersectRect(&covered, &label, &pointer)) {
            continue;
        }
        FillRect(dc, &label, GetSysColorBrush(COLOR_WINDOWTEXT));
        const char name[] = {static_cast<char>('0' + digit)};
        DrawTextA(dc, name, 1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

#include "floor_grid.h"

#include "floor_keys.h"

#include <algorithm>
#include <utility>

namespace {

constexpr COLORREF kColourKey = RGB(255, 0, 255);
constexpr int kDigitHeight = 20;  // pixels at 96 DPI, as Tarnwick's

// Taken while the grid is open: keypad /, keypad - and Esc, as Tarnwick numbers them.
constexpr std::pair<int, UINT> kOpenKeys[] = {{1222, VK_DIVIDE}, {1223, VK_SUBTRACT}, {1224, VK_ESCAPE}};
constexpr int kClickKey = 1222;
constexpr int kBackKey = 1223;
constexpr int kCancelKey = 1224;
// The keypad's hotkeys of floor_keys.cpp, and the digit each picks while the grid is open.
constexpr std::pair<int, int> kDigits[] = {{1101, 1}, {1102, 2}, {1103, 3}, {1104, 4}, {1105, 5},
                                           {1106, 6}, {1201, 7}, {1108, 8}, {1202, 9}};

struct Area {
    int left;
    int top;
    int width;
    int height;
};

// A third of a span as src/emulation/KeypadGrid.cpp cuts it, copied rather than linked so
// that the bare floor stays free of the C++ library that KeypadGrid's class brings along.
void Third(int start, int length, int index, int& from, int& size) {
    if (length < 3) {
        from = start + std::min(index, length - 1);
        size = 1;
        return;
    }
    from = start + length * index / 3;
    size = start + length * (index + 1) / 3 - from;
}

// GridCell and GridCentre of KeypadGrid.h.
Area Cell(const Area& region, int digit) {
    Area cell{};
    Third(region.left, region.width, (digit - 1) % 3, cell.left, cell.width);
    Third(region.top, region.height, 2 - (digit - 1) / 3, cell.top, cell.height);
    return cell;
}

POINT Centre(const Area& region) {
    return {region.left + (region.width - 1) / 2, region.top + (region.height - 1) / 2};
}

// The regions narrowed through, the monitor first, and where the pointer was put in each.
class Grid {
public:
    void Open(const Area& monitor, POINT pointer) {
        depth_ = 1;
        regions_[0] = monitor;
        pointers_[0] = pointer;
    }
    void Close() { depth_ = 0; }
    bool IsOpen() const { return depth_ > 0; }
    const Area& Monitor() const { return regions_[0]; }
    const Area& Region() const { return regions_[depth_ - 1]; }
    POINT Origin() const { return pointers_[0]; }
    bool Narrowest() const { return Region().width == 1 && Region().height == 1; }
    POINT Pick(int digit) {
        regions_[depth_] = Cell(Region(), digit);
        pointers_[depth_] = Centre(regions_[depth_]);
        return pointers_[depth_++];
    }
    // False when no digit is left to undo.
    bool Back(POINT& pointer) {
        if (depth_ < 2) {
            return false;
        }
        pointer = pointers_[--depth_ - 1];
        return true;
    }

private:
    static constexpr int kMostLevels = 40;  // a side of 3^39 pixels
    Area regions_[kMostLevels]{};
    POINT pointers_[kMostLevels]{};
    int depth_ = 0;
};

HWND overlay = nullptr;
Grid grid;

// The bitmap a paint draws into, kept while the grid is open as Tarnwick keeps its own.
HDC buffer = nullptr;
HBITMAP bitmap = nullptr;
HGDIOBJ previousBitmap = nullptr;
SIZE bufferSize{};

void DropBuffer() {
    if (buffer) {
        SelectObject(buffer, previousBitmap);
        DeleteObject(bitmap);
        DeleteDC(buffer);
    }
    buffer = nullptr;
    bitmap = nullptr;
    bufferSize = {};
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, brush);
}

// Where the light core of a line `width` wide at `edge` of a `length`-pixel side begins: the
// outline just inside the region, the inner lines centred on the cells' boundary.
int CoreStart(int edge, int length, int width) {
    return edge <= 0 ? width : edge >= length ? length - 2 * width : edge - width / 2;
}

// The same pixels as Tarnwick's overlay: the region's outline and the two lines each way, a
// core in the window colour over an edge in the text colour on each side, and each cell's
// digit in a box where the cell has room for it and the pointer does not cover it.
void Draw(HDC dc, SIZE size) {
    const Area& region = grid.Region();
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const int line = std::max(1, MulDiv(1, dpi, 96));
    const HBRUSH seeThrough = CreateSolidBrush(kColourKey);
    FillArea(dc, 0, 0, size.cx, size.cy, seeThrough);
    DeleteObject(seeThrough);
    const int columns[] = {0, Cell(region, 8).left - region.left, Cell(region, 9).left - region.left, size.cx};
    const int rows[] = {0, Cell(region, 4).top - region.top, Cell(region, 1).top - region.top, size.cy};
    const struct {
        HBRUSH brush;
        int offset;
        int width;
    } passes[] = {{GetSysColorBrush(COLOR_WINDOWTEXT), -line, 3 * line}, {GetSysColorBrush(COLOR_WINDOW), 0, line}};
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

    const HFONT font = CreateFontA(-MulDiv(kDigitHeight, dpi, 96), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, "Tahoma");
    const HGDIOBJ previousFont = SelectObject(dc, font);
    SIZE text{};
    GetTextExtentPoint32A(dc, "8", 1, &text);
    const SIZE box{text.cx + 4 * line, text.cy};
    POINT at{};
    GetCursorPos(&at);
    const RECT pointer{at.x - region.left, at.y - region.top, at.x - region.left + GetSystemMetrics(SM_CXCURSOR),
                       at.y - region.top + GetSystemMetrics(SM_CYCURSOR)};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    for (int digit = 1; digit <= 9; ++digit) {
        const Area cell = Cell(region, digit);
        if (cell.width < box.cx + 6 * line || cell.height < box.cy + 6 * line) {
            continue;
        }
        const int left = cell.left - region.left + (cell.width - box.cx) / 2;
        const int top = cell.top - region.top + (cell.height - box.cy) / 2;
        RECT label{left, top, left + box.cx, top + box.cy};
        RECT covered;
        if (IntersectRect(&covered, &label, &pointer)) {
            continue;
        }
        FillRect(dc, &label, GetSysColorBrush(COLOR_WINDOWTEXT));
        const char name[] = {static_cast<char>('0' + digit)};
        DrawTextA(dc, name, 1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, previousFont);
    DeleteObject(font);
}

// Drawn into a bitmap first and copied in one piece, so the screen never shows a half-drawn grid.
void Paint(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const SIZE size{client.right, client.bottom};
    if (size.cx > bufferSize.cx || size.cy > bufferSize.cy) {
        DropBuffer();
        bitmap = CreateCompatibleBitmap(dc, size.cx, size.cy);
        buffer = CreateCompatibleDC(dc);
        previousBitmap = SelectObject(buffer, bitmap);
        bufferSize = size;
    }
    if (grid.IsOpen()) {
        Draw(buffer, size);
        BitBlt(dc, 0, 0, size.cx, size.cy, buffer, 0, 0, SRCCOPY);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: Paint(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_NCHITTEST: return HTTRANSPARENT;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void MakeOverlay() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TarnwickGrid";
    RegisterClassA(&windowClass);
    // Owned by a hidden window, as Tarnwick's is, so that no shell gives it a taskbar button.
    const HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    overlay = CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
                              "TarnwickGrid", "", WS_POPUP, 0, 0, 0, 0, owner, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    SetLayeredWindowAttributes(overlay, kColourKey, 0, LWA_COLORKEY);
}

// Over the region, one pixel short when that is the whole monitor (Windows would take a
// topmost window of a monitor's size for a full-screen program).
void Show() {
    const Area& region = grid.Region();
    const Area& monitor = grid.Monitor();
    const bool whole = region.left == monitor.left && region.top == monitor.top && region.width == monitor.width &&
                       region.height == monitor.height;
    SetWindowPos(overlay, HWND_TOPMOST, region.left, region.top, region.width, region.height - (whole ? 1 : 0),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    RedrawWindow(overlay, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Open(HWND window) {
    POINT pointer;
    if (!GetCursorPos(&pointer)) {
        return;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcMonitor;
    grid.Open({area.left, area.top, area.right - area.left, area.bottom - area.top}, pointer);
    for (const auto& [id, virtualKey] : kOpenKeys) {
        RegisterHotKey(window, id, 0, virtualKey);
    }
    if (!overlay) {
        MakeOverlay();
    }
    Show();
}

void MoveTo(POINT point) { MoveFloorPointer(point.x, point.y); }

void Pick(HWND window, int digit) {
    const POINT pointer = grid.Pick(digit);
    MoveTo(pointer);
    if (grid.Narrowest()) {
        CloseFloorGrid(window);
    } else {
        Show();
    }
}

void Cancel(HWND window) {
    const POINT origin = grid.Origin();
    CloseFloorGrid(window);
    MoveTo(origin);
}

}  // namespace

void CloseFloorGrid(HWND window) {
    if (!grid.IsOpen()) {
        return;
    }
    grid.Close();
    for (const auto& [id, virtualKey] : kOpenKeys) {
        UnregisterHotKey(window, id);
    }
    ShowWindow(overlay, SW_HIDE);
    DropBuffer();
}

bool OnFloorGridKey(HWND window, WPARAM identifier) {
    const int id = static_cast<int>(identifier);
    if (!grid.IsOpen()) {
        if (id == kFloorGridKey) {
            Open(window);
        }
        return id == kFloorGridKey;
    }
    for (const auto& [key, digit] : kDigits) {
        if (key == id) {
            Pick(window, digit);
            return true;
        }
    }
    switch (id) {
        case kFloorGridKey: CloseFloorGrid(window); return true;
        case kBackKey:
            if (POINT pointer{}; grid.Back(pointer)) {
                MoveTo(pointer);
                Show();
            } else {
                Cancel(window);
            }
            return true;
        case kCancelKey: Cancel(window); return true;
        case kClickKey: {
            INPUT click{};
            click.type = INPUT_MOUSE;
            click.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP;
            SendInput(1, &click, sizeof click);
            CloseFloorGrid(window);
            return true;
        }
        default: return false;
    }
}

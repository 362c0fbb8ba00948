#include "floor_grid.h"

#include "floor_keys.h"

#include <algorithm>
#include <utility>

namespace {

constexpr COLORREF kColourKey = RGB(255, 0, 255);

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

void Fill(HDC dc, const RECT& area, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

// A line `core` pixels wide in the window's colour with an `edge` in the text's colour on each
// side, centred on `at` (a column when `vertical`, else a row) but kept inside `extent`.
void Line(HDC dc, bool vertical, int at, int extent, int length, int core, int edge) {
    const int band = core + 2 * edge;
    const int start = std::clamp(at - band / 2, 0, std::max(0, extent - band));
    const RECT outer = vertical ? RECT{start, 0, start + band, length} : RECT{0, start, length, start + band};
    const RECT inner = vertical ? RECT{start + edge, 0, start + edge + core, length}
                                : RECT{0, start + edge, length, start + edge + core};
    Fill(dc, outer, GetSysColor(COLOR_WINDOWTEXT));
    Fill(dc, inner, GetSysColor(COLOR_WINDOW));
}

// The region's outline, the two lines each way between its cells, and each cell's digit in
// a small box at its centre, but for the digit under the pointer.
void Draw(HDC dc, int width, int height) {
    const int scale = std::max(1, MulDiv(GetDeviceCaps(dc, LOGPIXELSX), 1, 96));
    const Area& region = grid.Region();
    Fill(dc, {0, 0, width, height}, kColourKey);
    for (const int x : {0, Cell(region, 8).left - region.left, Cell(region, 9).left - region.left, width}) {
        Line(dc, true, x, width, height, scale, scale);
    }
    for (const int y : {0, Cell(region, 4).top - region.top, Cell(region, 1).top - region.top, height}) {
        Line(dc, false, y, height, width, scale, scale);
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (int digit = 1; digit <= 9; ++digit) {
        const POINT centre = Centre(Cell(region, digit));
        const char text[] = {static_cast<char>('0' + digit)};
        SIZE size{};
        GetTextExtentPoint32A(dc, text, 1, &size);
        const int x = centre.x - region.left - size.cx / 2 - 2 * scale;
        const int y = centre.y - region.top - size.cy / 2 - scale;
        const RECT box{x, y, x + size.cx + 4 * scale, y + size.cy + 2 * scale};
        if (pointer.x >= box.left + region.left && pointer.x < box.right + region.left &&
            pointer.y >= box.top + region.top && pointer.y < box.bottom + region.top) {
            continue;
        }
        Fill(dc, box, GetSysColor(COLOR_WINDOWTEXT));
        const RECT inside{box.left + scale, box.top + scale, box.right - scale, box.bottom - scale};
        Fill(dc, inside, GetSysColor(COLOR_WINDOW));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        ExtTextOutA(dc, x + 2 * scale, y + scale, ETO_CLIPPED, &inside, text, 1, nullptr);
    }
}

// Drawn into a bitmap first and copied in one piece, so the screen never shows a half-drawn grid.
void Paint(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    if (grid.IsOpen()) {
        Draw(memory, client.right, client.bottom);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(window, &paint);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: Paint(window); return 0;
        case WM_ERASEBKGND: return 1;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void MakeOverlay() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TarnwickGrid";
    RegisterClassA(&windowClass);
    overlay = CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST,
                              "TarnwickGrid", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr),
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
    InvalidateRect(overlay, nullptr, FALSE);
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

#pragma once

// Helpers for the tests that drive real windows under Wine: every wait is bounded.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace wintest {

using std::chrono::milliseconds;

// Runs the calling thread's message queue for a while, so that queued input reaches its windows.
inline void PumpMessages(milliseconds duration = milliseconds(50)) {
    const auto until = std::chrono::steady_clock::now() + duration;
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now() < until);
}

// Pumps messages until `done` holds or `timeout` passes; returns whether it held.
template <typename Condition>
bool PumpUntil(Condition done, milliseconds timeout = milliseconds(5000)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        PumpMessages(milliseconds(10));
    }
    return true;
}

// Waits without pumping (for another process or thread) until `done` holds or `timeout` passes.
template <typename Condition>
bool WaitUntil(Condition done, milliseconds timeout = milliseconds(5000)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
}

inline POINT PointerPosition() {
    POINT point{};
    GetCursorPos(&point);
    return point;
}

// Places the pointer with one absolute input, as the program under test does.
inline void SendPointerTo(int x, int y) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(x - left) * 65536 + width - 1) / width);
    move.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(y - top) * 65536 + height - 1) / height);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    SendInput(1, &move, sizeof move);
}

// Puts the pointer at (x, y) and waits until it stays there. Under Wine the X server echoes
// each pointer warp back as motion some time later, which can carry the pointer back to an
// earlier place; Wine then skips a warp to the place it believes the pointer already is, so
// a try that did not stick goes by way of another place first.
inline bool MovePointerTo(int x, int y, milliseconds timeout = milliseconds(5000)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        SendPointerTo(x, y);
        PumpMessages(milliseconds(50));
        const POINT now = PointerPosition();
        if (now.x == x && now.y == y) {
            PumpMessages(milliseconds(50));
            const POINT later = PointerPosition();
            if (later.x == x && later.y == y) {
                return true;
            }
        }
        SendPointerTo(x > 20 ? x - 9 : x + 9, y > 20 ? y - 9 : y + 9);
        PumpMessages(milliseconds(50));
    }
    return false;
}

// Presses or releases the left mouse button where the pointer is.
inline void SendLeftButton(bool down) {
    INPUT button{};
    button.type = INPUT_MOUSE;
    button.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &button, sizeof button);
}

// Two clicks of the left button in one go, quick enough for a double-click.
inline void SendDoubleClick() {
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(4, clicks, sizeof(INPUT));
}

// A point of `window` in screen coordinates, `x` and `y` from its top left.
inline POINT PointOf(HWND window, int x, int y) {
    RECT area;
    GetWindowRect(window, &area);
    return {area.left + x, area.top + y};
}

inline POINT CentreOf(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

inline INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Presses and releases a key, with modifier keys held around it, as a user would.
inline void PressKey(WORD virtualKey, std::initializer_list<WORD> modifiers = {}) {
    for (WORD modifier : modifiers) {
        INPUT down = KeyInput(modifier, false);
        SendInput(1, &down, sizeof(INPUT));
    }
    INPUT press[2] = {KeyInput(virtualKey, false), KeyInput(virtualKey, true)};
    SendInput(2, press, sizeof(INPUT));
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier) {
        INPUT up = KeyInput(*modifier, true);
        SendInput(1, &up, sizeof(INPUT));
    }
}

inline std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
        CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

// The whole file, through the wide call so that any path works; empty when it cannot be read.
inline std::vector<unsigned char> FileBytes(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    unsigned char chunk[256];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.insert(bytes.end(), chunk, chunk + read);
    }
    CloseHandle(file);
    return bytes;
}

inline bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    CloseHandle(file);
    return whole;
}

inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    HICON icon = nullptr;  // compare with LoadIconA(nullptr, IDI_EXCLAMATION) and the like
};

// The activation and keyboard focus of the thread that owns `window`, which may be another
// process's.
inline GUITHREADINFO InputStateOf(HWND window) {
    GUITHREADINFO state{};
    state.cbSize = sizeof state;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &state);
    return state;
}

inline HWND FocusOf(HWND window) { return InputStateOf(window).hwndFocus; }

// A registry value set for a test: the value it had, or its absence, comes back when the
// object goes.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, const std::string& key, std::string name)
        : name_(std::move(name)) {
        RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key_, nullptr);
        DWORD size = 0;
        had_ = RegQueryValueExA(key_, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
        previous_.resize(size);
        if (had_ && size > 0) {
            RegQueryValueExA(key_, name_.c_str(), nullptr, &type_, previous_.data(), &size);
        }
    }
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
    ~ScopedRegistryValue() {
        if (had_) {
            Write(type_, previous_.data(), previous_.size());
        } else {
            RegDeleteValueA(key_, name_.c_str());
        }
        RegCloseKey(key_);
    }

    bool Set(const std::string& text) { return Write(REG_SZ, text.c_str(), text.size() + 1); }
    bool Set(DWORD number) { return Write(REG_DWORD, &number, sizeof number); }

private:
    bool Write(DWORD type, const void* data, std::size_t size) {
        return RegSetValueExA(key_, name_.c_str(), 0, type, static_cast<const BYTE*>(data),
                              static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }

    HKEY key_ = nullptr;
    std::string name_;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> previous_;
    bool had_ = false;
};

// Makes `window` the foreground window and waits until its own thread has taken the
// activation and the focus: the foreground changes at once, but keys pressed before the
// other thread has caught up still go to the window that was active there.
inline bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return PumpUntil([&] {
        const GUITHREADINFO state = InputStateOf(window);
        return GetForegroundWindow() == window && state.hwndActive == window && state.hwndFocus;
    });
}

// The icon a visible SS_ICON static child of `window` shows, if any.
inline HICON ShownIcon(HWND window) {
    HICON shown = nullptr;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
            char className[16] = {};
            GetClassNameA(child, className, sizeof className);
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            if (lstrcmpiA(className, "Static") != 0 || (style & SS_TYPEMASK) != SS_ICON ||
                !IsWindowVisible(child)) {
                return TRUE;
            }
            *reinterpret_cast<HICON*>(parameter) =
                reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
            return *reinterpret_cast<HICON*>(parameter) == nullptr;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

// The first visible message box ("#32770" with a static text) with `caption`, or of
// the process `processId` when that is nonzero.
inline MessageBoxSeen FindMessageBox(const std::string& caption, DWORD processId = 0) {
    struct Search {
        const std::string* caption;
        DWORD processId;
        MessageBoxSeen found;
    } search{&caption, processId, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(parameter);
            char className[64] = {};
            GetClassNameA(window, className, sizeof className);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (std::string(className) != "#32770" || !IsWindowVisible(window) ||
                WindowText(window) != *s.caption || (s.processId && owner != s.processId)) {
                return TRUE;
            }
            // 0xFFFF is the id of the message text.
            const HWND text = GetDlgItem(window, 0xFFFF);
            if (!text) {
                return TRUE;
            }
            s.found.window = window;
            s.found.caption = WindowText(window);
            s.found.text = WindowText(text);
            s.found.icon = ShownIcon(window);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether a key combination (RegisterHotKey modifiers and key) is free, found by taking it
// for a moment and giving it back. Use it to wait for a program to let go of a key, never
// while that program may be taking one: the two registrations could collide.
inline bool HotKeyFree(UINT modifiers, UINT virtualKey) {
    const int probe = 0xBFFF;  // the top of the identifiers left to applications
    if (!RegisterHotKey(nullptr, probe, modifiers, virtualKey)) {
        return false;
    }
    UnregisterHotKey(nullptr, probe);
    return true;
}

// Paints into a fresh 32-bit picture of `size` and returns its pixels row by row, top row
// first, as 0x00RRGGBB.
template <typename Paint>
std::vector<DWORD> PaintedPixels(SIZE size, Paint paint) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        paint(dc);
        GdiFlush();
        const auto* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + size.cx * size.cy);
        for (DWORD& pixel : pixels) {
            pixel &= 0x00FFFFFF;
        }
        SelectObject(dc, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return pixels;
}

// What the screen shows in `area`, as PaintedPixels gives it.
inline std::vector<DWORD> ScreenPixels(const RECT& area) {
    return PaintedPixels({area.right - area.left, area.bottom - area.top}, [&](HDC dc) {
        const HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top,
               SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

// A system colour as a pixel of PaintedPixels (0x00RRGGBB).
inline DWORD PixelOf(COLORREF colour) {
    return static_cast<DWORD>(GetRValue(colour)) << 16 | static_cast<DWORD>(GetGValue(colour)) << 8 |
           GetBValue(colour);
}

// What the screen shows of a window's rectangle, row by row as PaintedPixels gives them.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;

    DWORD At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

inline ScreenPicture TakeScreenPicture(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    ScreenPicture picture;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    picture.pixels = ScreenPixels(area);
    return picture;
}

// The colours along the edges of a picture, one a side.
struct Edges {
    DWORD top, left, bottom, right;  // one colour each, or kMixed
};
inline constexpr DWORD kMixed = 0xFFFFFFFF;

inline DWORD Uniform(const ScreenPicture& picture, int x0, int y0, int x1, int y1) {
    const DWORD first = picture.At(x0, y0);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (picture.At(x, y) != first) {
                return kMixed;
            }
        }
    }
    return first;
}

// The outermost rows and columns; the corners go with the bottom and right edges.
inline Edges EdgesOf(const ScreenPicture& p) {
    const int w = p.width - 1;
    const int h = p.height - 1;
    return {Uniform(p, 0, 0, w - 1, 0), Uniform(p, 0, 0, 0, h - 1), Uniform(p, 0, h, w, h),
            Uniform(p, w, 0, w, h)};
}

inline bool operator==(const Edges& a, const Edges& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
inline bool operator!=(const Edges& a, const Edges& b) { return !(a == b); }

inline std::ostream& operator<<(std::ostream& out, const Edges& e) {
    return out << std::hex << "top " << e.top << " left " << e.left << " bottom " << e.bottom
               << " right " << e.right;
}

inline bool Contains(const ScreenPicture& picture, DWORD pixel) {
    return std::find(picture.pixels.begin(), picture.pixels.end(), pixel) != picture.pixels.end();
}

// The edges of a flat button in the system colours: plain, raised while hot, sunken while
// pressed.
inline Edges PlainEdges() {
    const DWORD face = PixelOf(GetSysColor(COLOR_BTNFACE));
    return {face, face, face, face};
}
inline Edges RaisedEdges() {
    const DWORD highlight = PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT));
    const DWORD shadow = PixelOf(GetSysColor(COLOR_BTNSHADOW));
    return {highlight, highlight, shadow, shadow};
}
inline Edges SunkenEdges() {
    const DWORD highlight = PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT));
    const DWORD shadow = PixelOf(GetSysColor(COLOR_BTNSHADOW));
    return {shadow, shadow, highlight, highlight};
}

// What the screen shows of `window` once `shows` holds for it, or after 5 s the last picture.
template <typename Condition>
ScreenPicture PictureWhen(HWND window, Condition shows) {
    ScreenPicture picture;
    PumpUntil([&] { return shows(picture = TakeScreenPicture(window)); });
    return picture;
}

inline ScreenPicture PictureWithEdges(HWND window, const Edges& edges) {
    return PictureWhen(window, [&](const ScreenPicture& p) { return EdgesOf(p) == edges; });
}

// Whether `window` (a message box, of any process) shows the system icon `systemIcon`
// (IDI_EXCLAMATION and the like). A shared icon has a handle of its own in each process, so
// the picture on the screen is compared with the icon drawn here over the same background,
// taken from the corner pixel, which the system icons leave transparent. Waits up to
// `timeout`, since the icon is painted after the window appears.
inline bool ShowsSystemIcon(HWND window, LPCSTR systemIcon,
                            milliseconds timeout = milliseconds(3000)) {
    HWND control = nullptr;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
            char className[16] = {};
            GetClassNameA(child, className, sizeof className);
            if (lstrcmpiA(className, "Static") != 0 ||
                (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(child)) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(parameter) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&control));
    const HICON expected = LoadIconA(nullptr, systemIcon);
    if (!control || !expected) {
        return false;
    }
    return PumpUntil(
        [&] {
            const ScreenPicture picture = TakeScreenPicture(control);
            const std::vector<DWORD>& shown = picture.pixels;
            const SIZE size{picture.width, picture.height};
            if (shown.empty()) {
                return false;
            }
            const DWORD corner = shown.front();
            const std::vector<DWORD> drawn = PaintedPixels(size, [&](HDC dc) {
                const HBRUSH background = CreateSolidBrush(
                    RGB((corner >> 16) & 0xFF, (corner >> 8) & 0xFF, corner & 0xFF));
                const RECT all{0, 0, size.cx, size.cy};
                FillRect(dc, &all, background);
                DeleteObject(background);
                DrawIconEx(dc, 0, 0, expected, size.cx, size.cy, 0, nullptr, DI_NORMAL);
            });
            return shown == drawn;
        },
        timeout);
}

}  // namespace wintest

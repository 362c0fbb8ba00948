#pragma once

// Helpers for the tests that drive real windows under Wine: every wait is bounded.

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

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

// Puts the pointer at (x, y) and waits until it stays there. Under X a warp is echoed
// back as motion some time later, which can carry the pointer back to an earlier place.
inline bool MovePointerTo(int x, int y, milliseconds timeout = milliseconds(5000)) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        SetCursorPos(x, y);
        PumpMessages(milliseconds(100));
        const POINT now = PointerPosition();
        if (now.x == x && now.y == y) {
            PumpMessages(milliseconds(100));
            const POINT later = PointerPosition();
            if (later.x == x && later.y == y) {
                return true;
            }
        }
    }
    return false;
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

}  // namespace wintest

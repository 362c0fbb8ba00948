#include "floor_keys.h"

#include <algorithm>

namespace {

constexpr int kStartStop = 1001;
constexpr int kStep = 1;  // the pixels of Tarnwick's first speed, which the benchmark sets

struct Key {
    int id;
    UINT virtualKey;
    int dx;
    int dy;
    DWORD click;
};

constexpr Key kKeys[] = {
    {1101, VK_NUMPAD1, 0, 0, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP},
    {1102, VK_NUMPAD2, 0, 0, MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_MIDDLEUP},
    {1103, VK_NUMPAD3, 0, 0, MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP},
    {1104, VK_NUMPAD4, -kStep, 0, 0},
    {1105, VK_NUMPAD5, 0, kStep, 0},
    {1106, VK_NUMPAD6, kStep, 0, 0},
    {1108, VK_NUMPAD8, 0, -kStep, 0},
};

bool active = true;

void RegisterKeypad(HWND window, bool on) {
    for (const Key& key : kKeys) {
        on ? RegisterHotKey(window, key.id, 0, key.virtualKey) : UnregisterHotKey(window, key.id);
    }
}

// The smallest normalised coordinate that the system maps back to `offset`.
DWORD Normalise(int offset, int extent) {
    return static_cast<DWORD>((static_cast<LONGLONG>(offset) * 65536 + extent - 1) / extent);
}

void Press(const Key& key) {
    if (key.click) {
        mouse_event(key.click, 0, 0, 0, 0);
        return;
    }
    POINT at;
    if (!GetCursorPos(&at)) {
        return;
    }
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int x = std::clamp(static_cast<int>(at.x) + key.dx, left, left + width - 1);
    const int y = std::clamp(static_cast<int>(at.y) + key.dy, top, top + height - 1);
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
                Normalise(x - left, width), Normalise(y - top, height), 0, 0);
}

}  // namespace

void RegisterFloorKeys(HWND window) {
    RegisterHotKey(window, kStartStop, 0, VK_F9);
    RegisterKeypad(window, true);
}

void OnFloorHotKey(HWND window, WPARAM identifier) {
    if (identifier == kStartStop) {
        active = !active;
        RegisterKeypad(window, active);
    }
    for (const Key& key : kKeys) {
        if (active && key.id == static_cast<int>(identifier)) {
            Press(key);
        }
    }
}

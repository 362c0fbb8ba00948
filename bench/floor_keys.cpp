#include "floor_keys.h"

#include "floor_grid.h"

#include <algorithm>

namespace {

constexpr int kStartStop = 1001;
constexpr int kStep = 1;  // the pixels of Tarnwick's first speed, which the benchmark sets
constexpr int kFastStep = 10 * kStep;
constexpr int kMostEvents = 4;  // a double click

// A move when dx or dy is nonzero; otherwise one mouse input per entry of `events`, in order,
// the wheel's data going with them. A click is one input with both of its button's flags, as
// Tarnwick sends it.
struct Key {
    int id;
    UINT modifiers;
    UINT virtualKey;
    int dx;
    int dy;
    DWORD events[kMostEvents];
    int wheel;
};

constexpr Key kKeys[] = {
    {1101, 0, VK_NUMPAD1, 0, 0, {MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP}, 0},
    {1102, 0, VK_NUMPAD2, 0, 0, {MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_MIDDLEUP}, 0},
    {1103, 0, VK_NUMPAD3, 0, 0, {MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP}, 0},
    {1104, 0, VK_NUMPAD4, -kStep, 0, {}, 0},
    {1105, 0, VK_NUMPAD5, 0, kStep, {}, 0},
    {1106, 0, VK_NUMPAD6, kStep, 0, {}, 0},
    {1108, 0, VK_NUMPAD8, 0, -kStep, {}, 0},
    {1201, 0, VK_NUMPAD7, 0, 0, {MOUSEEVENTF_WHEEL}, WHEEL_DELTA},
    {1202, 0, VK_NUMPAD9, 0, 0, {MOUSEEVENTF_WHEEL}, -WHEEL_DELTA},
    {1203, 0, VK_NUMPAD0, 0, 0, {MOUSEEVENTF_LEFTDOWN}, 0},
    {1204, 0, VK_DECIMAL, 0, 0, {MOUSEEVENTF_LEFTUP}, 0},
    {1205, 0, VK_ADD, 0, 0, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}, 0},
    {1211, MOD_CONTROL, VK_NUMPAD4, -kFastStep, 0, {}, 0},
    {1212, MOD_CONTROL, VK_NUMPAD5, 0, kFastStep, {}, 0},
    {1213, MOD_CONTROL, VK_NUMPAD6, kFastStep, 0, {}, 0},
    {1214, MOD_CONTROL, VK_NUMPAD8, 0, -kFastStep, {}, 0},
};

bool active = true;

void RegisterKeypad(HWND window, bool on) {
    for (const Key& key : kKeys) {
        on ? RegisterHotKey(window, key.id, key.modifiers, key.virtualKey) : UnregisterHotKey(window, key.id);
    }
    on ? RegisterHotKey(window, kFloorGridKey, 0, VK_MULTIPLY) : UnregisterHotKey(window, kFloorGridKey);
}

// The smallest normalised coordinate that the system maps back to `offset`.
LONG Normalise(int offset, int extent) {
    return static_cast<LONG>((static_cast<LONGLONG>(offset) * 65536 + extent - 1) / extent);
}

// One absolute move to (x, y), kept on the virtual screen.
INPUT MoveInput(int x, int y) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalise(std::clamp(x, left, left + width - 1) - left, width);
    input.mi.dy = Normalise(std::clamp(y, top, top + height - 1) - top, height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    return input;
}

void Press(const Key& key) {
    INPUT inputs[kMostEvents]{};
    UINT count = 0;
    if (key.dx != 0 || key.dy != 0) {
        POINT at;
        if (!GetCursorPos(&at)) {
            return;
        }
        inputs[0] = MoveInput(static_cast<int>(at.x) + key.dx, static_cast<int>(at.y) + key.dy);
        count = 1;
    }
    for (const DWORD flags : key.events) {
        if (flags != 0) {
            inputs[count].type = INPUT_MOUSE;
            inputs[count].mi.dwFlags = flags;
            inputs[count].mi.mouseData = static_cast<DWORD>(key.wheel);
            ++count;
        }
    }
    SendInput(count, inputs, sizeof(INPUT));
}

}  // namespace

void RegisterFloorKeys(HWND window) {
    RegisterHotKey(window, kStartStop, 0, VK_F9);
    RegisterKeypad(window, true);
}

void MoveFloorPointer(int x, int y) {
    INPUT input = MoveInput(x, y);
    SendInput(1, &input, sizeof input);
}

void OnFloorHotKey(HWND window, WPARAM identifier) {
    if (identifier == kStartStop) {
        active = !active;
        if (!active) {
            CloseFloorGrid(window);
        }
        RegisterKeypad(window, active);
    }
    if (active && OnFloorGridKey(window, identifier)) {
        return;
    }
    for (const Key& key : kKeys) {
        if (active && key.id == static_cast<int>(identifier)) {
            Press(key);
        }
    }
}

// The least a keypad mouse can be: the same hotkeys on a window that is never shown, and per
// WM_HOTKEY the same work as Tarnwick. Whatever Tarnwick costs beyond this program is what
// showing a dialog and its own code add.

#include "floor_keys.h"

#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        OnFloorHotKey(window, wParam);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TarnwickFloor";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, "TarnwickFloor", "Tarnwick floor", WS_OVERLAPPED, 0, 0, 0,
                                        0, nullptr, nullptr, instance, nullptr);
    RegisterFloorKeys(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}

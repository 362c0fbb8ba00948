#pragma once

// What both floor programs do of Tarnwick's own work: the same eight hotkeys (F9 to start
// and stop, keypad 1, 2, 3, 4, 5, 6 and 8) and, per WM_HOTKEY, the same essential work (read
// the pointer, inject one absolute move, or inject one click).

#include <windows.h>

void RegisterFloorKeys(HWND window);
void OnFloorHotKey(HWND window, WPARAM identifier);

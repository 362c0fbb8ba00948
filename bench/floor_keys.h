#pragma once

// What both floor programs do of Tarnwick's own work, with its extended keypad switched on:
// the same hotkeys (F9 to start and stop; keypad 1, 2, 3, 4, 5, 6 and 8; keypad 7, 9, 0, ".",
// "+" and "*" and Ctrl with keypad 4, 5, 6 and 8) and, per WM_HOTKEY, the same essential work:
// read the pointer and inject one absolute move, or inject the key's button or wheel events,
// each time in one SendInput; keypad * opens the keypad grid of floor_grid.h.

#include <windows.h>

void RegisterFloorKeys(HWND window);
void OnFloorHotKey(HWND window, WPARAM identifier);
// One absolute move of the pointer to (x, y), kept on the virtual screen.
void MoveFloorPointer(int x, int y);

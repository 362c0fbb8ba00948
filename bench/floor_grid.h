#pragma once

// The floors' keypad grid: Tarnwick's grid keys and overlay at their least. Keypad * opens a
// grid over the monitor that holds the pointer, in a window like Tarnwick's (class
// "TarnwickGrid", a colour-keyed layered WS_POPUP that clicks pass through, topmost, never
// activated, owned by a hidden window) painting the same lines and digit boxes; keypad
// digits narrow it, moving the pointer to the cell's centre; keypad - goes back, Esc cancels,
// keypad / clicks and closes, * again closes. Keypad / and - and Esc are taken only while the
// grid is open, as Tarnwick takes them. The windows are made at the first opening and kept.

#include <windows.h>

constexpr int kFloorGridKey = 1221;  // keypad *, taken with the keypad

// True when the key was the grid's to handle: keypad * always, the others while it is open.
bool OnFloorGridKey(HWND window, WPARAM identifier);
void CloseFloorGrid(HWND window);

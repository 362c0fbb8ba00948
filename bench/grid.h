#pragma once

// The keypad grid's measures: how many keys bring the pointer onto a target, by
// the grid's own arithmetic and by step moves; how soon a program paints its grid and moves
// the pointer; what an open grid costs at rest; whether opening and closing it leaves anything
// behind.

#include "target.h"

#include <windows.h>

// Figures named reach_<width>x<height>_<method>_<target>_<max|mean|unreachable>, from
// src/emulation/KeypadGrid.cpp and the step sizes alone.
void MeasureReach();

// The grid's round of work, the pointer at `home`: a first opening that checks it (keypad *
// shows the grid's lines, keypad 6 moves the pointer to the middle-right cell's centre and
// shows that cell's lines, Esc closes it and puts the pointer back; throws otherwise); then
// keypad * to the grid painted and keypad 6 to the pointer moved and the grid repainted
// inside the cell, `openings` times from rest (grid_open_* and grid_pick_* figures); then,
// when `growthRounds` is nonzero, what the first openings made and the growth of what the
// program holds over that many openings more, each narrowed by two digits and closed, in
// batches of ten sent at once: nine closed by keypad *, the last by Esc.
void MeasureGrid(const Program& program, const Target& target, POINT home, int openings, int growthRounds);
// Idle with the grid open (grid_idle_ms); then closes it, the pointer back at `home`.
void MeasureGridIdle(const Program& program, const Target& target, POINT home, int seconds);

// Tarnwick's loupe, the pointer at `home`: when `growthRounds` is nonzero, what its first
// openings made; then keypad *, 6 and 5, each awaited, and the timed 5 until the pointer stands
// at the region's centre and the loupe's cut shows on the screen, `openings` times from rest
// (loupe_pick_* figures; throws when the first never shows), each closed by Esc, and what the
// driver takes to read the loupe's picture and rectangle from the screen (loupe_read_median_us);
// then the growth over that many openings more, each narrowed by three digits into the loupe,
// in batches as the grid's.
void MeasureLoupe(const Program& program, const Target& target, POINT home, int openings, int growthRounds);
// Idle with the loupe showing (loupe_idle_ms); then closes the grid, the pointer back at `home`.
void MeasureLoupeIdle(const Program& program, const Target& target, POINT home, int seconds);

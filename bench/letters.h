#pragma once

// The letter keypad's measures, on Tarnwick alone: what a letter's press costs beside its
// keypad key's in the same run; how soon the start/stop key has the letters taken, beside the
// keypad's keys without them; what Tarnwick costs at rest with the letters taken and after a
// letter held through their handing back was released; whether switching them on and off
// leaves anything behind.

#include "target.h"

#include <windows.h>

// Where the letters' moves happen: their start, the track the pointer runs along to the left,
// and the driver's own window, which the badge beside the pointer must stay off.
struct LetterStage {
    POINT home;
    RECT track;
    RECT pad;
};

// Tarnwick as the rest of the run has it (emulation on, the letter keypad off): the start/stop
// key to the keypad's keys taken (take_* figures); then, when `toggleRounds` is nonzero, the
// growth of what it holds over that many rounds of the start/stop key on and off.
void MeasureKeypadTaking(const Program& program, const Target& target, int toggleRounds);

// Tarnwick with the letter keypad on, just started (emulation off): the start/stop key, and a
// check that U, Ctrl+U, keypad 4 and Ctrl+keypad 4 each move the pointer as far as they should;
// then `rounds` of U beside keypad 4 and Ctrl+U beside Ctrl+keypad 4, pressed as the rest of
// the run presses keypad 4 (letter_move_*, move_*, letter_ten_step_move_*, ten_step_move_*);
// then the start/stop key to the letters taken (take_*), the growth over `toggleRounds` rounds
// of on and off when nonzero, and when `idleSeconds` is, idle with the letters taken
// (letters_idle_ms_*) and after a U held down through their handing back was released
// (released_idle_ms_*).
void MeasureLetters(const Program& program, const Target& target, const LetterStage& stage, int rounds,
                    int toggleRounds, int idleSeconds);

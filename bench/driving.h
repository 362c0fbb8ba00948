#pragma once

// What the driver's measures share: their output, their waits, the pointer and the keys,
// and what a program costs and holds.

#include "counters.h"
#include "target.h"

#include <windows.h>

#include <string>
#include <vector>

// A keypad key as the driver presses it: alone, or with Ctrl held down around the presses.
struct Keystroke {
    const char* name;
    WORD virtualKey;
    bool control;
};

// One figure, as the line <source> TAB <figure> TAB <value> that bench/report.py reads.
void Print(const std::string& source, const std::string& figure, double value);
void Print(const Program& program, const std::string& figure, double value);
// A line on standard error, with the seconds since the driver started.
void Progress(const std::string& text);

POINT Pointer();

// Polls `done` every millisecond until it holds or `seconds` pass; returns whether it held.
template <typename Condition>
bool WaitFor(Condition done, double seconds) {
    const double until = Now() + seconds;
    while (!done()) {
        if (Now() > until) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

// Waits until the machine has been nearly idle for half a second, so that what went before
// (a program's exit, the taskbar catching up, another user's work) weighs on no figure.
// Gives up after 1 s and says so: on a machine that others keep busy, waiting longer only
// makes the run longer, and the spread of the rounds shows what their work did.
void WaitForQuiet();

// Puts the pointer at `at` and waits until it stays there: under X a warp comes back as
// motion some time later, which can carry the pointer back to an earlier place.
void PlacePointer(POINT at);

INPUT Key(WORD virtualKey, bool up);
void Send(const std::vector<INPUT>& inputs);
std::vector<INPUT> Presses(const Keystroke& key, int count);

double Percentile(std::vector<double> values, double fraction);

// What the target spent between a start and a later reading, by both accounts. Windows
// counts CPU time in 10 ms ticks under Wine, so a phase is read once at each end.
class Cost {
public:
    explicit Cost(const Target& target);
    // <figure>_cpu, <figure>_kernel_cpu and <figure>_switches, per `count`, times `scale`.
    void PrintPer(const Program& program, const std::string& figure, double count, double scale) const;

private:
    const Target& target_;
    double cpu_;
    KernelCounters kernel_;
};

void PrintFootprint(const Program& program, const Footprint& footprint, const std::string& when);
// What the program holds now beyond what it held at `start`.
void PrintGrowth(const Program& program, const Footprint& now, const Footprint& start, const std::string& when);

// Nothing sent to the program for `seconds`, after a second's rest: `figure` is idle_ms for
// the dialog shown (after the keypad grid was opened and closed), hidden_idle_ms for it
// hidden to the tray, grid_idle_ms for the keypad grid open.
void MeasureIdle(const Program& program, const Target& target, int seconds, const std::string& figure);

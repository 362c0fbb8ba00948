#pragma once

// What the driver's measures share: their output, their waits, the pointer and the keys,
// and what a program costs and holds.

#include "counters.h"
#include "target.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A keypad key as the driver presses it: alone, or with Ctrl held down around the presses.
struct Keystroke {
    const char* name;
    WORD virtualKey;
    bool control;
};

// A key that moves the pointer `pixels` to the left per press: `presses` of it in bursts of
// `burst`, each starting from home. Its figures are named <figure>_us_cpu, <figure>_lost and
// so on.
struct MoveSeries {
    const char* figure;
    Keystroke key;
    int pixels;
    int presses;
    int burst;
};

// Keypad 4, also the presses after which the footprint is taken again; Ctrl+keypad 4 in fewer,
// shorter bursts over the same stretch of the pointer's track.
constexpr MoveSeries kMove{"move", {"keypad 4", VK_NUMPAD4, false}, 1, 10000, 100};
constexpr MoveSeries kTenStepMove{"ten_step_move", {"Ctrl+keypad 4", VK_NUMPAD4, true}, 10, 2000, 50};

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

// Seconds from `sent` until `done` holds, looked at every 100 µs (each look asks the X
// server or the Wine server, which the program needs too); none after `seconds`.
template <typename Condition>
std::optional<double> Until(Condition done, double sent, double seconds = 1) {
    for (double now = Now(); now < sent + seconds;) {
        if (done()) {
            return Now() - sent;
        }
        const double next = now + 100e-6;
        while ((now = Now()) < next) {
        }
    }
    return std::nullopt;
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
// The key down and up in one SendInput.
void Press(WORD virtualKey);
std::vector<INPUT> Presses(const Keystroke& key, int count);

double Percentile(std::vector<double> values, double fraction);

// Waits until the pointer reaches `x`, or stops short of it for half a second; returns
// whether it got there.
bool WaitForPointerX(int x);
// One burst of the series from `home`; returns how many of its presses never moved the pointer.
int PressBurst(POINT home, const MoveSeries& series);
// The series' presses in bursts from `home`; returns how many never moved the pointer.
int PressMoves(POINT home, const MoveSeries& series);
// Throws unless one press of the series moves the pointer from `home` exactly as far as the
// series counts on.
void CheckMove(const Program& program, POINT home, const MoveSeries& series);

// The program's window of `windowClass`, once it has made one.
HWND ProcessWindow(const Target& target, const char* windowClass);

// What a target spent over a span of time, by both accounts.
struct Spent {
    double cpuSeconds = 0;        // GetProcessTimes
    double kernelCpuSeconds = 0;  // as Linux counts it
    double switches = 0;

    Spent& operator+=(const Spent& more);
};

// <figure>_cpu, <figure>_kernel_cpu and <figure>_switches, per `count`, times `scale`.
void PrintPer(const Program& program, const std::string& figure, const Spent& spent, double count, double scale);

// What the target spent between a start and a later reading, by both accounts. Windows
// counts CPU time in 10 ms ticks under Wine, so a phase is read once at each end.
class Cost {
public:
    explicit Cost(const Target& target);
    Spent SoFar() const;
    void PrintPer(const Program& program, const std::string& figure, double count, double scale) const {
        ::PrintPer(program, figure, SoFar(), count, scale);
    }

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

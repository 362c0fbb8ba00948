#!/usr/bin/env python3
"""Turns the driver's figures into the results page: for each measure the median over the
run's rounds for Tarnwick and for the floor program, their ratio, the product's target and
whether Tarnwick meets it; then every round's values, to show how steady they were.

Usage: report.py FIGURES --date D --machine M --wine W --command C > results.md
"""

import argparse
import statistics
import sys
from collections import defaultdict

NOTES = """\
1. **The floor** (`bench/floor.cpp`) registers the same eight hotkeys (F9 and keypad 1, 2, 3, 4,
   5, 6, 8) on a window it never shows and, per WM_HOTKEY, does the same essential work as
   Tarnwick: for a move it reads the pointer (`GetCursorPos`) and the virtual screen
   (`GetSystemMetrics`) and injects one absolute move (`mouse_event`); for a click it injects one
   click. Both move 1 pixel per press (Tarnwick's first speed, written to its "para.dll"). The
   two never run side by side (the hotkeys are system-wide): each round runs one after the
   other, alternating which goes first, each from a fresh copy in a directory of its own.
2. **CPU** is the target process's own time on the processor as Linux counts it
   (`/proc/PID/task/*/schedstat`, nanoseconds, summed over its threads). Under Wine 8,
   `GetProcessTimes` of another process reports kernel time only, in 10 ms ticks, and no user
   time (a busy child that ran 2.2 s showed 0.04 s), so its rows are for reference; on Windows
   they are the figure to read.
3. **Context switches** are voluntary + involuntary switches of the target's threads
   (`/proc/PID/task/*/status`). Under Wine each request to the wineserver and each X round trip
   is one, so even the floor makes about twenty per move. The wineserver, Xvfb and the desktop
   process (explorer) also work on every press and would count as wake-ups from the system's
   view; they are not included.
4. **Latency**: from `SendInput` of keypad 4 (down and up) until `GetCursorPos` shows the
   pointer one pixel to the left, read every 25 µs, one press at a time from rest (about 2 ms
   apart). It includes the wineserver and the X pointer warp.
5. **Held key**: a key-down, then key-down repeats at the desktop's typematic delay and rate,
   then the key-up after 5 s; lost = repeats sent − pixels travelled. **500 repeats at once**:
   one `SendInput` of 500 key-down repeats, timed until the pointer has travelled 500 pixels,
   five times a round.
6. The pointer works on the bare desktop, below Tarnwick's dialog; clicks land on the driver's
   own window, which counts them and is the active window throughout, as the program a user
   works in would be (over a window whose owner does not read its messages, Wine loses moves).
   Each measurement starts once the machine has been idle for half a second.
7. **Idle**: 60 s with nothing happening, the program's window not active, the pointer still.
8. **Start-up**: from `CreateProcess` until `WaitForInputIdle` returns, the first time the
   program waits for input with nothing left to do (Tarnwick: dialog created and painted,
   hotkeys registered; the floor: window made, hotkeys registered), confirmed by finding the
   window (visible for Tarnwick); before each round's work a keypad 4 press must move the
   pointer one pixel. Most of the floor's time is Wine starting a process. The CPU row is the
   process's own time on the processor when `WaitForInputIdle` returns.
9. **Footprint**: private bytes are `PrivateUsage`; Wine leaves that at 0 for another process,
   so its `PagefileUsage` (resident anonymous memory there) stands in. `GetGuiResources` is a
   stub under Wine: GDI objects are counted in the process's GDI handle table (found through its
   PEB), and USER objects are its windows only (menus, icons and cursors of another process
   cannot be seen). Growth is measured within one run of the program, from 1 s after start-up.
10. **Show/hide cycles** are `ShowWindow(SW_HIDE)` then `ShowWindow(SW_SHOW)` on the dialog from
    the driver, each followed by a pause for painting: they exercise the dialog's showing,
    activation and painting (its controls included), not Tarnwick's own hiding and restoring
    (tray icon, Minimize button, saved placement), which do not exist yet. The floor has no
    window to show, so it has no such row.
11. **Steadiness**: the per-press CPU of either program moves by up to about 15% from one run
    of it to the next, so a difference of a few percent between the two is within the noise;
    the per-press context switches repeat to a tenth. Start-up times and the 500-repeat rate
    vary most. Other work on the machine during a run (builds, tests) shows up in these.
"""


TARNWICK = "tarnwick"
FLOOR = "floor"


def load(path):
    figures = defaultdict(list)
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3:
                figures[(parts[0], parts[1])].append(float(parts[2]))
    return figures


def microseconds(value):
    return f"{value:.1f} µs"


def milliseconds(value):
    return f"{value:.1f} ms"


def fine_milliseconds(value):
    return f"{value:.3f} ms"


def tenths(value):
    return f"{value:.1f}"


def count(value):
    return f"{value:g}"


def rate(value):
    return f"{value:.1f}/s"


def kib(value):
    return f"{value / 1024:,.0f} KiB"


def signed_kib(value):
    return f"{value / 1024:+,.0f} KiB"


def signed(value):
    return f"{value:+g}"


class Row:
    """One line of the table.

    figure: the driver's name for it; summary: how the rounds are combined (median, or sum
    for losses, which count wherever they happen); target: the text shown; met: a test of
    (tarnwick, floor, ratio) or None where there is no target.
    """

    def __init__(self, label, figure, show, target="", met=None, summary=statistics.median, ratio=True):
        self.label = label
        self.figure = figure
        self.show = show
        self.target = target
        self.met = met
        self.summary = summary
        self.ratio = ratio


def ratio_at_most(limit):
    return lambda tarnwick, floor, ratio: ratio is not None and ratio <= limit


def ratio_at_least(limit):
    return lambda tarnwick, floor, ratio: ratio is not None and ratio >= limit


def zero(tarnwick, floor, ratio):
    return tarnwick == 0


def not_above_floor(tarnwick, floor, ratio):
    return tarnwick <= floor


def below(limit):
    return lambda tarnwick, floor, ratio: tarnwick < limit


ROWS = [
    ("Per key press", [
        Row("Keypad 4 (move): CPU per press", "move_us_kernel_cpu", microseconds, "≤ 1.10× floor", ratio_at_most(1.10)),
        Row("Keypad 4: CPU per press by GetProcessTimes", "move_us_cpu", microseconds, "(see note 2)"),
        Row("Keypad 4: context switches per press", "move_us_switches", tenths),
        Row("Keypad 1 (click): CPU per press", "click_us_kernel_cpu", microseconds, "≤ 1.10× floor", ratio_at_most(1.10)),
        Row("Keypad 1: CPU per press by GetProcessTimes", "click_us_cpu", microseconds, "(see note 2)"),
        Row("Keypad 1: context switches per press", "click_us_switches", tenths),
        Row("Keypad 4 presses lost (all rounds)", "move_lost", count, "0", zero, sum, False),
        Row("Keypad 1 clicks lost (all rounds)", "click_lost", count, "0", zero, sum, False),
    ]),
    ("Key to pointer", [
        Row("Latency, median", "latency_median_us", microseconds, "≤ 1.10× floor", ratio_at_most(1.10)),
        Row("Latency, 99th percentile", "latency_p99_us", microseconds, "≤ 1.10× floor", ratio_at_most(1.10)),
        Row("Presses that never moved the pointer (all rounds)", "latency_lost", count, "0", zero, sum, False),
    ]),
    ("Held key", [
        Row("Keypad 4 held 5 s: presses handled per second", "held_rate", rate, "as the floor", ratio_at_least(1.0)),
        Row("Keypad 4 held: WM_HOTKEY lost (all rounds)", "held_lost", count, "0", zero, sum, False),
        Row("500 repeats at once: presses handled per second (median of 5)", "flood_rate", rate, "≥ floor / 1.10", ratio_at_least(1 / 1.10)),
        Row("500 repeats at once: lost (all rounds)", "flood_lost", count, "0", zero, sum, False),
    ]),
    ("Idle (dialog shown, another window active)", [
        Row("CPU over the idle time", "idle_ms_kernel_cpu", fine_milliseconds, "0, as the floor", not_above_floor),
        Row("Context switches (wake-ups) over the idle time", "idle_ms_switches", count, "0, as the floor", not_above_floor),
        Row("CPU by GetProcessTimes", "idle_ms_cpu", milliseconds, "(see note 2)"),
    ]),
    ("Start-up", [
        Row("Process start to ready (dialog shown, hotkeys registered)", "startup_ms", milliseconds, "≤ 1.5× floor", ratio_at_most(1.5)),
        Row("CPU of the process until ready", "startup_cpu_ms", milliseconds),
    ]),
    ("Footprint", [
        Row("Private bytes after start-up", "private_bytes_start", kib),
        Row("Private bytes growth after 10,000 presses", "private_growth_presses", signed_kib, "none", lambda t, f, r: t <= 0, ratio=False),
        Row("Working set after start-up", "working_set_bytes_start", kib),
        Row("Working set growth after 10,000 presses", "working_set_growth_presses", signed_kib, "none", lambda t, f, r: t <= 0, ratio=False),
        Row("GDI objects after start-up", "gdi_objects_start", count),
        Row("GDI objects growth after 10,000 presses", "gdi_growth_presses", signed, "none", lambda t, f, r: t <= 0, ratio=False),
        Row("GDI objects growth after those and 100 show/hide cycles", "gdi_growth_cycles", signed, "none", lambda t, f, r: t <= 0, ratio=False),
        Row("USER objects (windows) after start-up", "user_objects_start", count),
        Row("USER objects growth after 10,000 presses", "user_growth_presses", signed, "none", lambda t, f, r: t <= 0, ratio=False),
        Row("USER objects growth after those and 100 show/hide cycles", "user_growth_cycles", signed, "none", lambda t, f, r: t <= 0, ratio=False),
        Row("Executable size", "exe_bytes", kib, "< 400 KiB", below(400 * 1024)),
    ]),
]

SKIPPED = [
    ("Idle (dialog shown, another window active)", "Idle, hidden to the tray", "skipped: Tarnwick has no tray yet"),
    ("Start-up", "Process start to tray icon added", "skipped: Tarnwick has no tray yet"),
]

# Rows whose every round is listed under "Round by round".
STEADINESS = ["move_us_kernel_cpu", "click_us_kernel_cpu", "latency_median_us", "latency_p99_us", "flood_rate",
              "startup_ms", "startup_cpu_ms", "move_us_switches", "idle_ms_switches"]


def table(figures):
    lines = ["| metric | Tarnwick | floor | ratio | target | met? |", "|---|---|---|---|---|---|"]
    for section, rows in ROWS:
        lines.append(f"| **{section}** | | | | | |")
        for row in rows:
            tarnwick_values = figures.get((TARNWICK, row.figure))
            floor_values = figures.get((FLOOR, row.figure))
            if not tarnwick_values:
                continue
            tarnwick = row.summary(tarnwick_values)
            floor = row.summary(floor_values) if floor_values else None
            ratio = tarnwick / floor if row.ratio and floor else None
            met = "—" if row.met is None else ("yes" if row.met(tarnwick, floor if floor is not None else 0, ratio) else "**no**")
            lines.append("| {} | {} | {} | {} | {} | {} |".format(
                row.label, row.show(tarnwick), "n/a" if floor is None else row.show(floor),
                f"{ratio:.3f}×" if ratio is not None else "—", row.target or "—", met))
        for skipped_section, label, why in SKIPPED:
            if skipped_section == section:
                lines.append(f"| {label} | {why} | | | | — |")
    return "\n".join(lines)


def steadiness(figures):
    lines = ["| figure | Tarnwick, each round | floor, each round | spread (max−min)/median, Tarnwick · floor |",
             "|---|---|---|---|"]
    for figure in STEADINESS:
        cells = []
        spreads = []
        for program in (TARNWICK, FLOOR):
            values = figures.get((program, figure), [])
            cells.append(", ".join(f"{value:.4g}" for value in values) or "—")
            median = statistics.median(values) if values else 0
            spreads.append(f"{(max(values) - min(values)) / median:.0%}" if median else "—")
        lines.append(f"| {figure} | {cells[0]} | {cells[1]} | {' · '.join(spreads)} |")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("figures")
    parser.add_argument("--date", required=True)
    parser.add_argument("--machine", required=True)
    parser.add_argument("--wine", required=True)
    parser.add_argument("--command", required=True)
    arguments = parser.parse_args()

    figures = load(arguments.figures)
    if not figures.get((TARNWICK, "move_us_kernel_cpu")):
        sys.exit("report.py: no figures in " + arguments.figures)
    rounds = len(figures[(TARNWICK, "move_us_kernel_cpu")])
    starts = len(figures.get((TARNWICK, "startup_ms"), []))
    idle = figures.get((TARNWICK, "idle_seconds"), [0])[0]
    repeats = figures.get(("driver", "repeats_per_s"), [0])[0]
    delay = figures.get(("driver", "repeat_delay_ms"), [0])[0]
    width = figures.get(("driver", "screen_width"), [0])[0]
    height = figures.get(("driver", "screen_height"), [0])[0]

    print(f"""# Tarnwick against the floor program

- Date: {arguments.date}
- Machine: {arguments.machine}
- Wine: {arguments.wine}, virtual desktop {width:g}×{height:g} on Xvfb
- Command: `{arguments.command}`
- Medians over {rounds} rounds of the key-press work, {starts} starts and one {idle:g} s idle period per
  program; keys repeat after {delay:g} ms at {repeats:.1f}/s (the desktop's own settings).

{table(figures)}

## Round by round

{steadiness(figures)}

## Notes

{NOTES.strip()}""")


if __name__ == "__main__":
    main()

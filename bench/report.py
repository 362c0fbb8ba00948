#!/usr/bin/env python3
"""Turns the driver's figures into the results page: for each measure the median over the
run's rounds for Tarnwick and for both floor programs, Tarnwick's ratio to each (the median
of the rounds' ratios, with the lowest and highest round beside it), the product's target and
whether Tarnwick meets it; then how far apart two identical programs landed in a run of their
own, and every round's values.

Usage: report.py FIGURES [--twin FIGURES] --date D --machine M --load L --wine W --command C
       [--brief] > results.md
"""

import argparse
import re
import statistics
import sys
from collections import defaultdict
from dataclasses import dataclass
from typing import Callable, Optional, Tuple

NOTES = """\
1. **The floors.** The bare floor (`bench/floor.cpp`) registers the same hotkeys as Tarnwick
   with its extended keypad on (F9; keypad 1, 2, 3, 4, 5, 6, 8; keypad 7, 9, 0, ".", "+" and
   "*"; Ctrl with keypad 4, 5, 6, 8) on a window it never shows and, per WM_HOTKEY, does the
   same essential work as Tarnwick, each time in one `SendInput`: for a move it reads the
   pointer (`GetCursorPos`) and the virtual screen (`GetSystemMetrics`) and injects one
   absolute move; for a click one input with the button's down and up flags, for a double
   click four inputs, for a wheel key one wheel input of ±120. Keypad * opens the keypad grid
   of `bench/floor_grid.cpp` (note 13). The dialog floor (`bench/dialog_floor.cpp`) is the
   least a program showing Tarnwick's dialog can be: Tarnwick's own resources (the `IDD_MAIN`
   template, icons and manifest, so common controls 6) compiled again from `resources/`, the
   common controls initialised and the rich-edit library loaded, then `DialogBoxParamA` with a
   plain dialog procedure that fills the dialog as the user sees it (speed list, start/stop
   key, window icon), registers the same hotkeys in WM_INITDIALOG and does the bare floor's
   work per WM_HOTKEY. No framework layer, no settings file. When Tarnwick adds a tray icon,
   the dialog floor adds one of its own at the end of WM_INITDIALOG and hides to it on
   Minimize; the driver finds out with an unmeasured start of Tarnwick. All move 1 pixel per
   press, 10 with Ctrl (Tarnwick's first speed, written to its "para.dll"). Tarnwick runs with
   its extended keypad on throughout, every row included: beside each copy of it the driver
   writes "tarnwick.ini" saying `[Keypad]` `Extended=1`. They never run side by side (the
   hotkeys are system-wide): each round runs one after the other, rotating which goes first,
   each from a fresh copy in a directory of its own. Before its key presses each program is
   checked with one press of each measured key: 1 pixel left for keypad 4, 10 for Ctrl+keypad
   4, one click and one wheel notch up (+120) on the driver's window for keypad 1 and keypad 7.
2. **Ratios and spread.** A ratio is Tarnwick's figure over the floor's in the same round (or
   the same start), one per round; the table gives their median with the lowest and highest
   round beside it. Targets are set against the dialog floor. A row is met ("yes") when its
   median ratio is within the target, "within spread" when the median is past the target but
   some round is within it, and missed (**no**) only when every round is past the target.
   How far apart two identical programs land is the next section's subject: a ratio inside
   that band cannot be told from noise.
3. **CPU** is the target process's own time on the processor as Linux counts it
   (`/proc/PID/task/*/schedstat`, nanoseconds, summed over its threads). Under Wine 8,
   `GetProcessTimes` of another process reports kernel time only, in 10 ms ticks, and no user
   time, so its rows are for reference; on Windows they are the figure to read.
4. **Context switches** are voluntary + involuntary switches of the target's threads
   (`/proc/PID/task/*/status`). Under Wine each request to the wineserver and each X round trip
   is one, so even the floor makes about twenty per move. The wineserver, Xvfb and the desktop
   process (explorer) also work on every press; they are not included.
5. **Per key press**: keypad 4, 10,000 presses a round in bursts of 100 (one `SendInput` each),
   each burst from the same place and awaited until the pointer has travelled its 100 pixels or
   stood still for 0.5 s; lost = pixels short. Ctrl+keypad 4, 2,000 presses in bursts of 50
   (Ctrl down, the 50 presses, Ctrl up in one `SendInput`), awaited alike over 500 pixels; lost
   = pixels short ÷ 10. Keypad 1 and keypad 7, 2,000 presses each in bursts of 100 with the
   pointer on the driver's window, which counts each click's WM_LBUTTONUP and sums the
   WM_MOUSEWHEEL deltas; each burst gets up to 10 s to arrive; lost = presses − clicks, or
   presses − (sum of deltas ÷ 120). **Latency**: from `SendInput` of keypad 4 (down and up)
   until `GetCursorPos` shows the pointer one pixel to the left, read every 25 µs, one press at
   a time from rest (about 2 ms apart); for Ctrl+keypad 4 (Ctrl down, keypad 4 down and up,
   Ctrl up) until it shows the pointer ten pixels to the left. It includes the wineserver and
   the X pointer warp.
6. **Held key**: a key-down, then key-down repeats at the desktop's typematic delay and rate,
   then the key-up after 5 s; lost = repeats sent − pixels travelled. **500 repeats at once**:
   one `SendInput` of 500 key-down repeats, timed until the pointer has travelled 500 pixels,
   five times a round.
7. The pointer works on the bare desktop, below the dialogs; clicks and wheel notches land on
   the driver's own window, which counts them and is the active window throughout, as the
   program a user works in would be. Each measurement starts once the machine has been idle for
   half a second, or after 5 s of waiting for that on a machine others keep busy.
8. **Idle**: nothing happening, the program's window not active, the pointer still; once with
   the keypad grid open, then once with it closed again by Esc and the dialog shown and, for
   the programs with a tray icon, once hidden to the tray through their own Minimize button.
   Under Wine a program's thread reads NumLock as off until NumLock changes while it runs, so
   Tarnwick says at every start that NumLock is off, in a balloon that Wine shows two seconds
   later for ten, and whatever it covered (the keypad grid, say) repaints when it goes; the
   driver takes that balloon down a second after each start of Tarnwick, before it shows.
9. **Start-up**: from `CreateProcess` until `WaitForInputIdle` returns, the first time the
   program waits for input with nothing left to do (dialog created and painted, hotkeys
   registered, tray icon added; the bare floor: window made, hotkeys registered), confirmed by
   finding the window. **Tray icon added**: from `CreateProcess` until the desktop's
   notification area holds one more icon (Wine's taskbar makes a tooltip window for each icon
   while the program's `Shell_NotifyIconA` waits), looked for every millisecond by a thread of
   the driver during every start of every program alike. The CPU row is the process's own time
   on the processor when `WaitForInputIdle` returns.
10. **Footprint**: private bytes are `PrivateUsage`; Wine leaves that at 0 for another process,
    so its `PagefileUsage` (resident anonymous memory there) stands in. `GetGuiResources` is a
    stub under Wine: GDI objects are counted in the process's GDI handle table (found through
    its PEB), and USER objects are its windows only. Growth is measured within one run of the
    program, from 1 s after start-up. A growth row is met when Tarnwick grew no more than the
    dialog floor did over the same work in the same run (under Wine a program that shows a
    dialog takes a heap page, 4 KiB, now and then, and the dialog floor shows how often), and
    within spread when it grew more, but by no more than the two identical dialog floors of
    the second run grew apart over the same work. The growth after 10,000 presses is taken over a second
    10,000 keypad 4 presses right after the measured ones, before the other keys: within the
    first thousands of pointer moves each program that shows a dialog, the dialog floor as much
    as Tarnwick, makes 16 to 20 KiB once under Wine, and nothing over any number of presses
    after them (checked over 20,000 more); the bare floor makes none.
11. **Dialog cycles** (first round only): `ShowWindow(SW_HIDE)` then `ShowWindow(SW_SHOW)` on
    the dialog from the driver, the pointer passed over each of its four push buttons and back
    off the dialog, and the whole dialog invalidated and repainted, each step followed by a
    pause for the program to handle it; once, then 99 times more. What the first cycle makes
    stays for the program's life (Tarnwick's buttons each make their tooltip window, with its
    font, on their first hover), so growth is counted over the 99 after it. Memory grows by
    whole pages, and the heap's first page can come some cycles late (Tarnwick once grew by
    4 KiB between cycles 1 and 100 and not at all over the next 400 show/hide cycles), so the
    memory target is on the last 50 cycles, over which a leak grows too. The bare floor has no
    window to show, so it has no such row.
12. **Where Tarnwick's start-up goes beside the dialog floor's** (`bench/trace_startup.sh`: a
    Wine relay trace of one start of each, every call into a system library with its time;
    traced on 2026-12-07). Up to the first call of the program's own code both make the same
    208,499 calls (process creation, libraries, manifest, C++ runtime). From there until the
    program waits for input Tarnwick makes about 1,700 more than the dialog floor (17,600
    against 15,900), none of which waits on another process: its dialog layer looks up the
    window's object for each message (`GetWindowLongPtrA`, 232 calls), passes messages on to
    the controls' own procedures (`CallWindowProcA`, 74), compares type names to find a
    subclassed control (`strcmp`, 82, the runtime's `dynamic_cast`) and fills the controls
    through data exchange, at initialisation and again when the dialog is first shown
    (`GetDlgItem`, `SendMessageA`); the owner-drawn buttons open their theme and paint
    themselves. Each of these costs well under a microsecond natively, under 2 ms together
    against a start-up of 100 ms and more, so whatever the start-up rows show against the
    dialog floor beyond that is the machine's noise (compare the two identical programs); under
    the trace, which makes every call cost some microseconds, Tarnwick took 123 to 147 ms from
    its first call to idle and the dialog floor 95 to 136 ms over three starts each. The cost
    stays: the dialog layer and the owner-drawn buttons are how the program is built, and what
    they add is below what this machine can tell apart.
13. **Keypad grid.** Both floors have a keypad grid of their own (`bench/floor_grid.cpp`),
    the least that shows Tarnwick's: keypad * opens it over the monitor holding the pointer
    in a window like Tarnwick's overlay (class "TarnwickGrid", `WS_POPUP` with
    `WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST`,
    colour-keyed on RGB(255, 0, 255), owned by a hidden window, one pixel short of the
    monitor's height while it covers the whole monitor, made at the first opening and kept),
    painted double-buffered with the same lines (the outline and the two lines each way, a
    core in the window colour with an edge in the text colour on each side, scaled by the DPI)
    and each cell's digit in a box as Tarnwick draws them; a digit moves the pointer to the
    cell's centre in one `SendInput` and puts the window over the cell; keypad /, - and Esc
    are taken while the grid is open. Its cells are `KeypadGrid.cpp`'s arithmetic, copied so
    that the bare floor stays as small as it was.
    **Keypad \* to the grid painted**: from `SendInput` of keypad * until the screen, read back
    by the driver (`BitBlt` from the screen's DC into a 25×1 bitmap every 100 µs, as any
    program could read it), shows a line (a run of one to eight pixels of the window colour
    between two of the text colour) across the place where the grid's line at two thirds of
    the monitor's width must be, a quarter of a row below the lower line, on the bare desktop.
    **Keypad 6 to the pointer moved and the grid repainted**: from `SendInput` of keypad 6,
    20 ms after the grid was seen, until `GetCursorPos` shows the pointer at the middle-right
    cell's centre and the screen shows the line at two thirds of that cell's width, where the
    whole grid had neither line nor digit. Then Esc, and the next opening once the grid's
    window is hidden, both lines are gone from the screen and the pointer is back. 30
    openings a round, after one that checks the program and makes what the first opening
    makes.
14. **Keys to a target** (pure arithmetic, no program runs): 1920×1080 and 3840×2160, one
    monitor. The grid: keypad * and then one key per digit, the target reached when the
    pointer, put on the centre of the region after a digit, lies on it. For an exact pixel
    each digit picks the cell that holds the pixel (no other cell can lead there), until the
    centre is the pixel, for every pixel of the screen; for a 16×16 target the fewest digits
    over all the cells that overlap it, level by level, for the target at every place. Step
    moves, from a random start to a random pixel or 16×16 target (seed 23, the same pairs for
    both): keypad 4, 5, 6 and 8 move 10 pixels (Tarnwick's default speed, the fourth), and
    Ctrl with them 100 pixels, one key press each; the fewest presses per axis (a press moves
    along one) by a breadth-first search over that axis's places, each press stopped at the
    screen's edge as Tarnwick stops it. A pixel is out of reach when no sequence of presses
    lands on it: one that lies no multiple of the step away from the start, nor from an edge.
15. **Keypad grid at rest and over many openings.** Idle: after start-up, keypad * and the
    grid painted, then the idle time with nothing happening; then Esc, and the idle time of the
    dialog-shown row with the grid closed again. Growth (first round; the programs that show
    Tarnwick's dialog only, as it is judged against the dialog floor's): openings in batches
    of ten in one `SendInput`, each keypad *, two digits (9 and 3, or 3 and 9) and keypad *
    again, but the last, whose digits (6 and 1) are awaited until the pointer stands at their
    cell's centre and which Esc then closes (the program takes Esc only while its grid is
    open); each batch is awaited until the grid's window hides. Sent together, the openings
    keep the program busy until the last, so the windows beneath the grid repaint once a batch
    rather than once an opening. Every cell these digits pick lies in the right half of the
    screen, so the pointer never rests on a window (Tarnwick's dialog opens at the top left),
    whose hover effects and tooltips would count as growth. What the check's opening and the
    first 200 openings made (the window, kept; under Wine some 70 KiB of memory that a program
    showing a dialog takes over its first hundred or so openings, the dialog floor as much as
    Tarnwick) is shown once; the growth is then counted over 1,000 openings more, and the
    memory after their first half is taken too, as for the dialog cycles.
16. **Letter keypad, per press.** After the rounds above, a fresh copy of Tarnwick whose
    "tarnwick.ini" also says `Letters=1` ("tarnwick_letters"), so that it starts with emulation
    off. The driver presses F9 and waits for the badge, which Tarnwick shows once every key is
    taken, and checks that U and keypad 4 move the pointer 1 pixel left and Ctrl+U and
    Ctrl+keypad 4 ten, and that the band the pointer and the badge sweep crosses neither the
    driver's window nor the dialog. U is pressed by its place, as Tarnwick takes it: the virtual
    key at scan code 0x16 in the layout of the driver's window, which has the focus. Then, in
    each of the run's rounds, U and keypad 4 are pressed as keypad 4 is in note 5, in bursts of
    100 from home, 4,000 presses each, and Ctrl+U and Ctrl+keypad 4 as Ctrl+keypad 4 is, in
    bursts of 50, 2,000 presses each, in the same process with the letters taken and the badge
    following the pointer for both: a burst of the letter and one of its keypad key in turn,
    which goes first turned about at each burst, each burst's CPU and context switches counted
    to its own key. Two series one after the other landed up to twice apart in CPU per press
    with the same context switches; side by side, whatever else the machine does falls on both
    alike. With the letters taken every press also moves the badge, which the rows of keypad 4
    with and without the letters show. The ratio is the letter's over its keypad key's in the
    same round.
    Met by the median; "within spread" when some round is within the target, or when the median
    is past it by no more than the two identical dialog floors' rounds of the same keypad key
    lay from 1 (the last column).
17. **Start/stop key to the keys taken.** From `SendInput` of F9 (down and up) until the key
    Tarnwick takes last is registered: with the letters, P (scan code 0x19), after the keypad's,
    the extended keypad's, keypad 5 with NumLock off and the other letters, each letter read from
    the layout of the window that has the focus; without them (a fresh copy of Tarnwick as the
    rest of the run has it, started before the letters' copy), keypad 5 with NumLock off
    (`VK_CLEAR`). The driver looks every 100 µs by trying `RegisterHotKey` with that combination
    for a thread of its own: refused with `ERROR_HOTKEY_ALREADY_REGISTERED`, Tarnwick holds it;
    taken, it is unregistered at once. What Tarnwick does after its last registration (the
    badge, the tray picture, without the letters the NumLock balloon) is not in the figure. Each
    taking from off, 20 ms after the last one was switched off again and every key seen free,
    until 30 are seen (or 60 were not). A look that falls while Tarnwick registers that very key makes Tarnwick
    go without it until it next takes its keys (silently: only the first taking after start-up
    names a refused letter, and the driver waits for that one by its badge); such a taking is
    not seen within 0.25 s and is made again, and counted. The ratio is for information.
18. **Letter keypad at rest and over many switches.** Idle: F9, the letters taken and the badge
    shown, then the idle time as in note 8. Then U down alone (one move), F9, which hands the
    letters back while U is down, so that Tarnwick holds on to U (checked: the driver cannot
    register it) and watches for its release; U up, checked handed back (U and Ctrl+U free to
    the driver), and the idle time again: no CPU and no wake-ups means that the watch stopped at
    the release. Growth: after the timed takings, the footprint (note 10) before and after 1,000
    rounds of F9 on and off, and after their first half. Each switch on is looked at 20 ms after
    F9, when its keys are long taken, until the last key is; one that took none (F9 that handed
    the letters back is held on to until Tarnwick hears of its release) or went
    without the last is undone if need be and made again. Each switch off is awaited until
    keypad 1 and the last key are free. The dialog floor has no letters, and switches neither a
    tray picture nor a balloon, so the rows are judged against Tarnwick's own copy with the
    letter keypad off over as many rounds in the same run (it takes the keypad, the extended
    keypad and keypad 5 with NumLock off, changes its tray picture, and under Wine shows the
    NumLock balloon at every switch on): met when the letters' copy grew no more than it,
    missed otherwise; the last half shows whether a growth goes on.
19. **The keypad grid's loupe** (Tarnwick's alone, so its rows are judged against Tarnwick's
    own grid rows of the same run). Keypad *, then 6 and 5, each awaited until the pointer
    stands at its cell's centre, put the region at 38×28 pixels on this screen; 20 ms later
    keypad 5 is timed from `SendInput` until the pointer stands at the new region's centre
    and the screen shows the loupe's cut after its first span of magnified pixels (the same
    line detector as note 13, where the loupe's own arithmetic, `src/emulation/LoupeLayout.cpp`,
    puts that cut). Then Esc, and the next opening once the grid and the loupe are hidden and
    the cut is gone from the screen; 30 a round. Unlike the grid, the loupe reads the screen:
    its picture (the region and its margin, 122×122 pixels here) and, the first time they
    cover them, the pixels its window and the outline around the region are about to cover
    (256×256 pixels here, and a few rows and columns), so that a later read takes them as they
    were rather than the loupe itself, which Wine's reads would show; so does the last level
    of the grid before it, for its lines (114×85 pixels here, on the first keypad 5, which is
    not timed). The reads row is what the picture's and the window's `BitBlt` from the screen
    take when the driver makes them after each opening. Idle: keypad *, 6, 5 and 5, the loupe
    painted, then the idle time. Growth (first round): as note 15's, each opening taking a third
    digit (5) into the loupe, judged against the dialog floor's growth over its grid openings.
"""

TARNWICK = "tarnwick"
LETTERS = "tarnwick_letters"
FLOOR = "floor"
DIALOG = "dialog_floor"
TWIN = "dialog_floor_2"


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


def microseconds_as_ms(value):
    return f"{value / 1000:.1f} ms"


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
    (tarnwick, dialog floor, spread of the ratios to the dialog floor) giving the verdict,
    or None where there is no target; ratio: whether ratios to the floors mean anything.
    against: another figure of Tarnwick's own that the ratio is taken to instead, the floors
    having nothing like this one; floor_figure: the floors' figure this one is judged
    against, where theirs has another name.
    """

    def __init__(self, label, figure, show, target="", met=None, summary=statistics.median, ratio=True,
                 against=None, floor_figure=None):
        self.label = label
        self.figure = figure
        self.show = show
        self.target = target
        self.met = met
        self.summary = summary
        self.ratio = ratio
        self.against = against
        self.floor_figure = floor_figure


def verdict(within_by_median, within_somewhere):
    return "yes" if within_by_median else "within spread" if within_somewhere else "**no**"


def ratio_at_most(limit):
    return lambda tarnwick, floor, spread: spread and verdict(spread[0] <= limit, spread[1] <= limit)


def ratio_at_least(limit):
    return lambda tarnwick, floor, spread: spread and verdict(spread[0] >= limit, spread[2] >= limit)


def yes_if(condition):
    return "yes" if condition else "**no**"


def zero(tarnwick, floor, spread):
    return yes_if(tarnwick == 0)


def not_above_floor(tarnwick, floor, spread):
    return yes_if(floor is not None and tarnwick <= floor)


def no_growth(tarnwick, floor, band):
    """No more growth than the dialog floor's in the same run (under Wine a program that shows
    a dialog takes a heap page now and then, and the dialog floor shows what that costs);
    within spread when the excess is no more than two identical dialog floors differed by."""
    allowed = max(0, floor or 0)
    return verdict(tarnwick <= allowed, band is not None and tarnwick <= allowed + band)


def below(limit):
    return lambda tarnwick, floor, spread: yes_if(tarnwick < limit)


AT_MOST = "≤ 1.10× dialog floor"
GROWTH = "none beyond the dialog floor's"
GRID_GROWTH = "none beyond the dialog floor's grid openings"

ROWS = [
    ("Per key press", [
        Row("Keypad 4 (move): CPU per press", "move_us_kernel_cpu", microseconds, AT_MOST, ratio_at_most(1.10)),
        Row("Keypad 4: CPU per press by GetProcessTimes", "move_us_cpu", microseconds, "(see note 3)"),
        Row("Keypad 4: context switches per press", "move_us_switches", tenths),
        Row("Keypad 1 (click): CPU per press", "click_us_kernel_cpu", microseconds, AT_MOST, ratio_at_most(1.10)),
        Row("Keypad 1: CPU per press by GetProcessTimes", "click_us_cpu", microseconds, "(see note 3)"),
        Row("Keypad 1: context switches per press", "click_us_switches", tenths),
        Row("Ctrl+keypad 4 (ten-step move): CPU per press", "ten_step_move_us_kernel_cpu", microseconds, AT_MOST,
            ratio_at_most(1.10)),
        Row("Ctrl+keypad 4: CPU per press by GetProcessTimes", "ten_step_move_us_cpu", microseconds,
            "(see note 3)"),
        Row("Ctrl+keypad 4: context switches per press", "ten_step_move_us_switches", tenths),
        Row("Keypad 7 (wheel notch): CPU per press", "wheel_us_kernel_cpu", microseconds, AT_MOST,
            ratio_at_most(1.10)),
        Row("Keypad 7: CPU per press by GetProcessTimes", "wheel_us_cpu", microseconds, "(see note 3)"),
        Row("Keypad 7: context switches per press", "wheel_us_switches", tenths),
        Row("Keypad 4 presses lost (all rounds)", "move_lost", count, "0", zero, sum, False),
        Row("Keypad 1 clicks lost (all rounds)", "click_lost", count, "0", zero, sum, False),
        Row("Ctrl+keypad 4 presses lost (all rounds)", "ten_step_move_lost", count, "0", zero, sum, False),
        Row("Keypad 7 notches lost (all rounds)", "wheel_lost", count, "0", zero, sum, False),
    ]),
    ("Key to pointer", [
        Row("Keypad 4: latency, median", "latency_median_us", microseconds, AT_MOST, ratio_at_most(1.10)),
        Row("Keypad 4: latency, 99th percentile", "latency_p99_us", microseconds, AT_MOST, ratio_at_most(1.10)),
        Row("Keypad 4 presses that never moved the pointer (all rounds)", "latency_lost", count, "0", zero, sum,
            False),
        Row("Ctrl+keypad 4: latency, median", "ten_step_latency_median_us", microseconds, AT_MOST,
            ratio_at_most(1.10)),
        Row("Ctrl+keypad 4: latency, 99th percentile", "ten_step_latency_p99_us", microseconds, AT_MOST,
            ratio_at_most(1.10)),
        Row("Ctrl+keypad 4 presses that never moved the pointer (all rounds)", "ten_step_latency_lost", count, "0",
            zero, sum, False),
    ]),
    ("Keypad grid (keypad *, then keypad 6)", [
        Row("Keypad * to the grid painted: median", "grid_open_median_us", microseconds_as_ms, AT_MOST,
            ratio_at_most(1.10)),
        Row("Keypad * to the grid painted: 99th percentile", "grid_open_p99_us", microseconds_as_ms),
        Row("Keypad 6 to the pointer moved and the grid repainted in the cell: median", "grid_pick_median_us",
            microseconds_as_ms, AT_MOST, ratio_at_most(1.10)),
        Row("Keypad 6: 99th percentile", "grid_pick_p99_us", microseconds_as_ms),
        Row("Openings never painted within 1 s (all rounds)", "grid_open_lost", count, "0", zero, sum, False),
        Row("Keypad 6 never shown within 1 s (all rounds)", "grid_pick_lost", count, "0", zero, sum, False),
    ]),
    ("Keypad grid's loupe (keypad *, 6 and 5, the 5 timed; Tarnwick's own, the floors have none)", [
        Row("Keypad 5 to the pointer moved and the loupe painted: median", "loupe_pick_median_us",
            microseconds_as_ms, "≤ 1.5× Tarnwick's keypad 6 to the grid repainted", ratio_at_most(1.5),
            ratio=False, against="grid_pick_median_us"),
        Row("Keypad 5: 99th percentile", "loupe_pick_p99_us", microseconds_as_ms, ratio=False),
        Row("Keypad 5 never shown within 1 s (all rounds)", "loupe_pick_lost", count, "0", zero, sum, False),
        Row("The loupe's two reads of the screen, made by the driver: median", "loupe_read_median_us",
            microseconds, ratio=False),
    ]),
    ("Held key", [
        Row("Keypad 4 held 5 s: presses handled per second", "held_rate", rate, "as the dialog floor",
            ratio_at_least(1.0)),
        Row("Keypad 4 held: WM_HOTKEY lost (all rounds)", "held_lost", count, "0", zero, sum, False),
        Row("500 repeats at once: presses handled per second (median of 5)", "flood_rate", rate,
            "≥ dialog floor / 1.10", ratio_at_least(1 / 1.10)),
        Row("500 repeats at once: lost (all rounds)", "flood_lost", count, "0", zero, sum, False),
    ]),
    ("Idle (dialog shown, another window active, the keypad grid opened and closed before)", [
        Row("CPU over the idle time", "idle_ms_kernel_cpu", fine_milliseconds, "0, as the floors", not_above_floor,
            ratio=False),
        Row("Context switches (wake-ups) over the idle time", "idle_ms_switches", count, "0, as the floors",
            not_above_floor, ratio=False),
        Row("CPU by GetProcessTimes", "idle_ms_cpu", milliseconds, "(see note 3)", ratio=False),
    ]),
    ("Idle, hidden to the tray", [
        Row("CPU over the idle time", "hidden_idle_ms_kernel_cpu", fine_milliseconds, "0, as the dialog floor",
            not_above_floor, ratio=False),
        Row("Context switches (wake-ups) over the idle time", "hidden_idle_ms_switches", count,
            "0, as the dialog floor", not_above_floor, ratio=False),
    ]),
    ("Idle, keypad grid open", [
        Row("CPU over the idle time", "grid_idle_ms_kernel_cpu", fine_milliseconds, "0, as the floors",
            not_above_floor, ratio=False),
        Row("Context switches (wake-ups) over the idle time", "grid_idle_ms_switches", count, "0, as the floors",
            not_above_floor, ratio=False),
    ]),
    ("Idle, keypad grid's loupe showing", [
        Row("CPU over the idle time", "loupe_idle_ms_kernel_cpu", fine_milliseconds, "0", zero, ratio=False),
        Row("Context switches (wake-ups) over the idle time", "loupe_idle_ms_switches", count, "0", zero,
            ratio=False),
    ]),
    ("Start-up", [
        Row("Process start to ready (dialog shown, hotkeys registered)", "startup_ms", milliseconds, AT_MOST,
            ratio_at_most(1.10)),
        Row("Process start to tray icon added", "tray_added_ms", milliseconds, AT_MOST, ratio_at_most(1.10)),
        Row("CPU of the process until ready", "startup_cpu_ms", milliseconds, AT_MOST, ratio_at_most(1.10)),
    ]),
    ("Footprint", [
        Row("Private bytes after start-up", "private_bytes_start", kib),
        Row("Private bytes growth after 10,000 presses", "private_growth_presses", signed_kib, GROWTH, no_growth,
            ratio=False),
        Row("Working set after start-up", "working_set_bytes_start", kib),
        Row("Working set growth after 10,000 presses", "working_set_growth_presses", signed_kib, GROWTH, no_growth,
            ratio=False),
        Row("GDI objects after start-up", "gdi_objects_start", count),
        Row("GDI objects growth after 10,000 presses", "gdi_growth_presses", signed, GROWTH, no_growth, ratio=False),
        Row("GDI objects made by the first dialog cycle (once)", "gdi_growth_first_cycle", signed, ratio=False),
        Row("GDI objects growth over the next 99 dialog cycles", "gdi_growth_cycles", signed, GROWTH, no_growth,
            ratio=False),
        Row("USER objects (windows) after start-up", "user_objects_start", count),
        Row("USER objects growth after 10,000 presses", "user_growth_presses", signed, GROWTH, no_growth,
            ratio=False),
        Row("USER objects made by the first dialog cycle (once)", "user_growth_first_cycle", signed, ratio=False),
        Row("USER objects growth over the next 99 dialog cycles", "user_growth_cycles", signed, GROWTH,
            no_growth, ratio=False),
        Row("Private bytes growth over the next 99 dialog cycles", "private_growth_cycles", signed_kib,
            ratio=False),
        Row("Private bytes growth over the last 50 of those", "private_growth_second_half", signed_kib, GROWTH,
            no_growth, ratio=False),
        Row("Private bytes made by the grid's first 200 openings (once)", "private_growth_grid_first", signed_kib,
            ratio=False),
        Row("GDI objects made by the grid's first 200 openings (once)", "gdi_growth_grid_first", signed, ratio=False),
        Row("USER objects made by the grid's first 200 openings (once)", "user_growth_grid_first", signed, ratio=False),
        Row("Private bytes growth over {grid_rounds} grid openings after them", "private_growth_grid_rounds",
            signed_kib, GROWTH, no_growth, ratio=False),
        Row("Private bytes growth over the last half of those", "private_growth_grid_second_half", signed_kib,
            ratio=False),
        Row("GDI objects growth over {grid_rounds} grid openings", "gdi_growth_grid_rounds", signed, GROWTH,
            no_growth, ratio=False),
        Row("USER objects growth over {grid_rounds} grid openings", "user_growth_grid_rounds", signed, GROWTH,
            no_growth, ratio=False),
        Row("Private bytes made by the first 200 openings into the loupe (once)", "private_growth_loupe_first",
            signed_kib, ratio=False),
        Row("GDI objects made by the first 200 openings into the loupe (once)", "gdi_growth_loupe_first", signed,
            ratio=False),
        Row("USER objects made by the first 200 openings into the loupe (once)", "user_growth_loupe_first",
            signed, ratio=False),
        Row("Private bytes growth over {loupe_rounds} openings into the loupe after them",
            "private_growth_loupe_rounds", signed_kib, GRID_GROWTH, no_growth, ratio=False,
            floor_figure="private_growth_grid_rounds"),
        Row("Private bytes growth over the last half of those", "private_growth_loupe_second_half", signed_kib,
            ratio=False),
        Row("GDI objects growth over {loupe_rounds} openings into the loupe", "gdi_growth_loupe_rounds", signed,
            GRID_GROWTH, no_growth, ratio=False, floor_figure="gdi_growth_grid_rounds"),
        Row("USER objects growth over {loupe_rounds} openings into the loupe", "user_growth_loupe_rounds", signed,
            GRID_GROWTH, no_growth, ratio=False, floor_figure="user_growth_grid_rounds"),
        Row("Executable size", "exe_bytes", kib, "< 400 KiB", below(400 * 1024)),
    ]),
]

@dataclass
class LetterRow:
    """One line of the letter keypad's table: a figure of Tarnwick with the letters on beside
    the one it is compared with, each a (source, figure); beside may be None.

    met: a test of (letters, beside, ratios of the rounds, the two identical programs' ratios of
    `twin`) giving the verdict, or None where there is no target; ratio: whether letters ÷
    beside means anything.
    """

    label: str
    letters: Tuple[str, str]
    beside: Optional[Tuple[str, str]]
    show: Callable
    target: str = ""
    met: Optional[Callable] = None
    summary: Callable = statistics.median
    ratio: bool = True
    twin: Optional[str] = None


def ratio_within_twins(limit):
    """Met by the median; within spread when some round is within `limit`, or when the median is
    past it by no more than the two identical programs' rounds lay from 1."""
    def met(letters, beside, ratios, twin):
        if not ratios:
            return None
        band = max(abs(twin[1] - 1), abs(twin[2] - 1)) if twin else 0
        return verdict(ratios[0] <= limit, ratios[1] <= limit or ratios[0] <= limit * (1 + band))
    return met


def none_lost(letters, beside, ratios, twin):
    return yes_if(letters == 0 and not beside)


def letters_zero(letters, beside, ratios, twin):
    return yes_if(letters == 0)


def not_beyond(letters, beside, ratios, twin):
    return yes_if(beside is not None and letters <= max(0, beside))


BESIDE_OFF = "none beyond the letters off"

LETTER_ROWS = [
    LetterRow("U (move) beside keypad 4: CPU per press", (LETTERS, "letter_move_us_kernel_cpu"),
              (LETTERS, "move_us_kernel_cpu"), microseconds, "≤ 1.10× keypad 4", ratio_within_twins(1.10),
              twin="move_us_kernel_cpu"),
    LetterRow("U beside keypad 4: context switches per press", (LETTERS, "letter_move_us_switches"),
              (LETTERS, "move_us_switches"), tenths),
    LetterRow("Ctrl+U (ten-step move) beside Ctrl+keypad 4: CPU per press",
              (LETTERS, "letter_ten_step_move_us_kernel_cpu"), (LETTERS, "ten_step_move_us_kernel_cpu"),
              microseconds, "≤ 1.10× Ctrl+keypad 4", ratio_within_twins(1.10), twin="ten_step_move_us_kernel_cpu"),
    LetterRow("Ctrl+U beside Ctrl+keypad 4: context switches per press", (LETTERS, "letter_ten_step_move_us_switches"),
              (LETTERS, "ten_step_move_us_switches"), tenths),
    LetterRow("Keypad 4 with the letters taken beside keypad 4 without them (the table above): CPU per press",
              (LETTERS, "move_us_kernel_cpu"), (TARNWICK, "move_us_kernel_cpu"), microseconds),
    LetterRow("Keypad 4 with the letters taken beside keypad 4 without them: context switches per press",
              (LETTERS, "move_us_switches"), (TARNWICK, "move_us_switches"), tenths),
    LetterRow("U beside keypad 4: presses lost (all rounds)", (LETTERS, "letter_move_lost"), (LETTERS, "move_lost"),
              count, "0", none_lost, sum, False),
    LetterRow("Ctrl+U beside Ctrl+keypad 4: presses lost (all rounds)", (LETTERS, "letter_ten_step_move_lost"),
              (LETTERS, "ten_step_move_lost"), count, "0", none_lost, sum, False),
    LetterRow("Start/stop key to the keys taken, letters on (P last) beside off (keypad 5 with NumLock off last): "
              "median", (LETTERS, "take_median_us"), (TARNWICK, "take_median_us"), microseconds),
    LetterRow("Start/stop key to the keys taken: 99th percentile", (LETTERS, "take_p99_us"),
              (TARNWICK, "take_p99_us"), microseconds),
    LetterRow("Takings timed", (LETTERS, "take_seen"), (TARNWICK, "take_seen"), count, ratio=False),
    LetterRow("Takings not seen within 0.25 s, made again", (LETTERS, "take_unseen"), (TARNWICK, "take_unseen"),
              count, ratio=False),
    LetterRow("Idle, letters taken, badge shown: CPU", (LETTERS, "letters_idle_ms_kernel_cpu"), None,
              fine_milliseconds, "0", letters_zero, ratio=False),
    LetterRow("Idle, letters taken, badge shown: context switches (wake-ups)", (LETTERS, "letters_idle_ms_switches"),
              None, count, "0", letters_zero, ratio=False),
    LetterRow("Idle after a U held through the handing back was released: CPU",
              (LETTERS, "released_idle_ms_kernel_cpu"), None, fine_milliseconds, "0", letters_zero, ratio=False),
    LetterRow("Idle after the held U was released: context switches (wake-ups)",
              (LETTERS, "released_idle_ms_switches"), None, count, "0", letters_zero, ratio=False),
    LetterRow("Private bytes growth over {toggle_rounds} rounds of the start/stop key on and off",
              (LETTERS, "private_growth_toggles"), (TARNWICK, "private_growth_toggles"), signed_kib, BESIDE_OFF,
              not_beyond, ratio=False),
    LetterRow("Private bytes growth over the last half of those", (LETTERS, "private_growth_toggles_second_half"),
              (TARNWICK, "private_growth_toggles_second_half"), signed_kib, ratio=False),
    LetterRow("GDI objects growth over {toggle_rounds} rounds on and off", (LETTERS, "gdi_growth_toggles"),
              (TARNWICK, "gdi_growth_toggles"), signed, BESIDE_OFF, not_beyond, ratio=False),
    LetterRow("USER objects growth over {toggle_rounds} rounds on and off", (LETTERS, "user_growth_toggles"),
              (TARNWICK, "user_growth_toggles"), signed, BESIDE_OFF, not_beyond, ratio=False),
]

# Rows whose figures only a program with a tray icon has.
TRAY_FIGURES = {"tray_added_ms", "hidden_idle_ms_kernel_cpu", "hidden_idle_ms_switches"}

# Figures whose every round is listed under "Round by round".
STEADINESS = ["move_us_kernel_cpu", "letter_move_us_kernel_cpu", "click_us_kernel_cpu", "ten_step_move_us_kernel_cpu",
              "letter_ten_step_move_us_kernel_cpu", "wheel_us_kernel_cpu",
              "latency_median_us", "latency_p99_us", "ten_step_latency_median_us", "ten_step_latency_p99_us",
              "grid_open_median_us", "grid_pick_median_us", "loupe_pick_median_us",
              "flood_rate", "startup_ms", "tray_added_ms", "startup_cpu_ms", "move_us_switches"]


def ratios(figures, numerator, denominator):
    """(median, lowest, highest) of numerator ÷ denominator, each a (source, figure), round by
    round, or None."""
    values = [a / b for a, b in zip(figures.get(numerator, []), figures.get(denominator, [])) if b]
    return (statistics.median(values), min(values), max(values)) if values else None


def spread(figures, program, floor, figure, floor_figure=None):
    """(median, lowest, highest) of program ÷ floor, round by round, or None."""
    return ratios(figures, (program, figure), (floor, floor_figure or figure))


def show_spread(ratios):
    if ratios is None:
        return "—"
    median, lowest, highest = (f"{ratio:.2f}" for ratio in ratios)
    return f"{median}×" if lowest == highest else f"{median}× ({lowest}–{highest})"


def summary(figures, program, row):
    figure = row.figure if program == TARNWICK else row.floor_figure or row.figure
    values = figures.get((program, figure))
    return row.summary(values) if values else None


def label(row, figures):
    rounds = (figures.get((TARNWICK, "grid_rounds")) or figures.get((DIALOG, "grid_rounds")) or [0])[0]
    loupe = (figures.get((TARNWICK, "loupe_rounds")) or [0])[0]
    return row.label.replace("{grid_rounds}", f"{rounds:,.0f}").replace("{loupe_rounds}", f"{loupe:,.0f}")


def growth_band(twin_figures, row):
    """How far apart the two identical programs' growth landed, or None."""
    first = summary(twin_figures, DIALOG, row)
    again = summary(twin_figures, TWIN, row)
    return None if first is None or again is None else abs(again - first)


def table(figures, twin_figures):
    lines = ["| metric | Tarnwick | floor | dialog floor | Tarnwick ÷ floor | Tarnwick ÷ dialog floor | target | met? |",
             "|---|---|---|---|---|---|---|---|"]
    for section, rows in ROWS:
        lines.append(f"| **{section}** | | | | | | | |")
        for row in rows:
            tarnwick = summary(figures, TARNWICK, row)
            if tarnwick is None:
                if row.figure in TRAY_FIGURES:
                    lines.append(f"| {row.label} | skipped: Tarnwick has no tray yet | | | | | {row.target} | — |")
                continue
            floor = summary(figures, FLOOR, row)
            dialog = summary(figures, DIALOG, row)
            to_floor = spread(figures, TARNWICK, FLOOR, row.figure) if row.ratio else None
            to_dialog = spread(figures, TARNWICK, DIALOG, row.figure) if row.ratio else None
            judged = growth_band(twin_figures, row) if row.met is no_growth else to_dialog
            target = row.target
            if row.against:
                # Against Tarnwick's own row, whose ratio the target column shows.
                floor = dialog = None
                judged = spread(figures, TARNWICK, TARNWICK, row.figure, row.against)
                target = f"{row.target}: {show_spread(judged)}"
            met = row.met(tarnwick, dialog, judged) if row.met else None
            lines.append("| {} | {} | {} | {} | {} | {} | {} | {} |".format(
                label(row, figures), row.show(tarnwick), "n/a" if floor is None else row.show(floor),
                "n/a" if dialog is None else row.show(dialog), show_spread(to_floor), show_spread(to_dialog),
                target or "—", met or "—"))
    return "\n".join(lines)


def letter_table(figures, twin_figures):
    """The letter keypad's rows, or "" when the run has none."""
    lines = ["| metric | letters on | beside it | letters on ÷ beside it | target | met? | two identical programs |",
             "|---|---|---|---|---|---|---|"]
    rounds = figures.get((LETTERS, "toggle_rounds"), [0])[0]
    for row in LETTER_ROWS:
        values = figures.get(row.letters)
        if not values:
            continue
        letters = row.summary(values)
        beside_values = figures.get(row.beside) if row.beside else None
        beside = row.summary(beside_values) if beside_values else None
        to_beside = ratios(figures, row.letters, row.beside) if row.ratio and row.beside else None
        twin = spread(twin_figures, TWIN, DIALOG, row.twin) if row.twin else None
        met = row.met(letters, beside, to_beside, twin) if row.met else None
        lines.append("| {} | {} | {} | {} | {} | {} | {} |".format(
            row.label.replace("{toggle_rounds}", f"{rounds:,.0f}"), row.show(letters),
            "—" if beside is None else row.show(beside), show_spread(to_beside), row.target or "—", met or "—",
            show_spread(twin) if row.twin else "—"))
    return "\n".join(lines) if len(lines) > 2 else ""


REACH_METHODS = [("grid", "keypad grid: keypad *, then digits"),
                 ("step", "keypad 4, 5, 6, 8 at the default step (10 px)"),
                 ("ten_step", "the same and Ctrl+keypad 4, 5, 6, 8 (100 px)")]
REACH_TARGETS = [("square", "a 16×16 target"), ("pixel", "an exact pixel")]
SQUARE_MOST = 6


def reach_sizes(figures):
    sizes = {figure.split("_")[1] for source, figure in figures
             if source == "driver" and re.match(r"reach_\d+x\d+_", figure)}
    return sorted(tuple(int(side) for side in size.split("x")) for size in sizes)


def pixel_bound(width, height):
    """1 + ceil(log3 of the longer side), in integers."""
    digits = 0
    while 3 ** digits < max(width, height):
        digits += 1
    return 1 + digits


def reach_rows(figures):
    """(screen, how, onto, most, mean, share out of reach, target text, met) for each line."""
    rows = []
    for width, height in reach_sizes(figures):
        for method, how in REACH_METHODS:
            for target, onto in REACH_TARGETS:
                prefix = f"reach_{width}x{height}_{method}_{target}_"
                most, mean, out = (figures.get(("driver", prefix + name), [None])[0]
                                   for name in ("max", "mean", "unreachable"))
                if most is None:
                    continue
                limit = None if method != "grid" else SQUARE_MOST if target == "square" else pixel_bound(width, height)
                goal = "—" if limit is None else (
                    f"≤ {limit}" if target == "square" else f"≤ {limit} (1 + ⌈log₃ {max(width, height)}⌉)")
                met = "—" if limit is None else yes_if(0 <= most <= limit and out == 0)
                rows.append((f"{width}×{height}", how, onto, "—" if most < 0 else f"{most:g}",
                             "—" if mean < 0 else f"{mean:.2f}", f"{out:.1%}", goal, met))
    return rows


def reach_table(figures):
    lines = ["| screen | keys | onto | keys, most | keys, mean | targets out of reach | target | met? |",
             "|---|---|---|---|---|---|---|---|"]
    lines += ["| " + " | ".join(row) + " |" for row in reach_rows(figures)]
    return "\n".join(lines)


def twin_table(figures):
    lines = ["| metric | dialog floor | the same again | again ÷ first: median (lowest–highest) |",
             "|---|---|---|---|"]
    for section, rows in ROWS:
        for row in rows:
            if row.floor_figure:
                continue  # the twins' own row shows it
            first = summary(figures, DIALOG, row)
            again = summary(figures, TWIN, row)
            if row.ratio and first is not None and again is not None:
                lines.append(f"| {label(row, figures)} | {row.show(first)} | {row.show(again)} | "
                             f"{show_spread(spread(figures, TWIN, DIALOG, row.figure))} |")
            elif row.met is no_growth and first is not None and again is not None:
                lines.append(f"| {label(row, figures)} | {row.show(first)} | {row.show(again)} | "
                             f"apart by {row.show(abs(again - first)).lstrip('+')} |")
    return "\n".join(lines)


def twin_summary(figures):
    """How far apart the two identical programs landed, per press and at start-up."""
    groups = {"per press": ("Per key press", "Key to pointer", "Held key"), "at start-up": ("Start-up",)}
    sentences = []
    for name, sections in groups.items():
        spreads = [spread(figures, TWIN, DIALOG, row.figure) for section, rows in ROWS if section in sections
                   for row in rows if row.ratio and row.met]
        spreads = [ratios for ratios in spreads if ratios]
        if spreads:
            medians = max(abs(ratios[0] - 1) for ratios in spreads)
            rounds = max(max(abs(ratios[1] - 1), abs(ratios[2] - 1)) for ratios in spreads)
            sentences.append(f"{name}, the two landed up to {medians:.0%} apart by the median of a row, "
                             f"and single rounds up to {rounds:.0%} apart")
    text = "; ".join(sentences)
    return text[:1].upper() + text[1:] + "." if text else ""


def brief(figures, twin_figures):
    """The rows with a target against the dialog floor, for the README."""
    lines = ["| measure | Tarnwick | Tarnwick ÷ floor | Tarnwick ÷ dialog floor | target | met? | two identical programs |",
             "|---|---|---|---|---|---|---|"]
    for section, rows in ROWS:
        for row in rows:
            tarnwick = summary(figures, TARNWICK, row)
            if row.ratio and row.met and tarnwick is not None:
                to_dialog = spread(figures, TARNWICK, DIALOG, row.figure)
                lines.append(f"| {row.label} | {row.show(tarnwick)} | "
                             f"{show_spread(spread(figures, TARNWICK, FLOOR, row.figure))} | "
                             f"{show_spread(to_dialog)} | {row.target} | "
                             f"{row.met(tarnwick, summary(figures, DIALOG, row), to_dialog)} | "
                             f"{show_spread(spread(twin_figures, TWIN, DIALOG, row.figure))} |")
    return "\n".join(lines)


def steadiness(figures):
    lines = ["| figure | program | each round | spread (max−min)/median |", "|---|---|---|---|"]
    for figure in STEADINESS:
        for program in (TARNWICK, LETTERS, FLOOR, DIALOG):
            values = figures.get((program, figure), [])
            if not values:
                continue
            median = statistics.median(values)
            width = f"{(max(values) - min(values)) / median:.0%}" if median else "—"
            lines.append(f"| {figure} | {program} | {', '.join(f'{value:.4g}' for value in values)} | {width} |")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("figures")
    parser.add_argument("--twin", help="figures of the driver run with the dialog floor twice")
    parser.add_argument("--twin-command", default="")
    parser.add_argument("--date", required=True)
    parser.add_argument("--machine", required=True)
    parser.add_argument("--load", required=True)
    parser.add_argument("--wine", required=True)
    parser.add_argument("--command", required=True)
    parser.add_argument("--brief", action="store_true", help="only the table of targets, for the README")
    arguments = parser.parse_args()

    figures = load(arguments.figures)
    if not figures.get((TARNWICK, "move_us_kernel_cpu")):
        sys.exit("report.py: no figures in " + arguments.figures)
    rounds = len(figures[(TARNWICK, "move_us_kernel_cpu")])
    starts = len(figures.get((TARNWICK, "startup_ms"), []))
    idle = figures.get((TARNWICK, "idle_seconds"), [0])[0]
    repeats = figures.get(("driver", "repeats_per_s"), [0])[0]
    delay = figures.get(("driver", "repeat_delay_ms"), [0])[0]
    samples = figures.get(("driver", "reach_samples"), [0])[0]
    width = figures.get(("driver", "screen_width"), [0])[0]
    height = figures.get(("driver", "screen_height"), [0])[0]

    if arguments.brief:
        twin_figures = load(arguments.twin) if arguments.twin else {}
        print(brief(figures, twin_figures))
        print()
        print(reach_table(figures))
        letters = letter_table(figures, twin_figures)
        if letters:
            print()
            print(letters)
        return

    twin = ""
    twin_figures = load(arguments.twin) if arguments.twin else {}
    if arguments.twin:
        twin_rounds = len(twin_figures.get((DIALOG, "move_us_kernel_cpu"), []))
        twin = f"""
## Two identical programs

The driver run once more with the dialog floor as both programs (`{arguments.twin_command}`,
{twin_rounds} rounds, right after the run above on the same machine): any ratio between the two
is noise. A ratio of the table above that lies inside the band below cannot be told from noise
on this machine under this load. {twin_summary(twin_figures)}

{twin_table(twin_figures)}
"""

    letters = letter_table(figures, twin_figures)
    if letters:
        letters = f"""
## The letter keypad

Tarnwick with the letter keypad on as well ("letters on", a copy of its own), beside the same
copy's keypad keys for the key presses and beside Tarnwick as the table above has it (letter
keypad off) for the start/stop key and the growth; see notes 16 to 18. The last column is how
far apart two identical dialog floors landed on the same keypad key (see below).

{letters}
"""

    print(f"""# Tarnwick against the floor programs

- Date: {arguments.date}
- Machine: {arguments.machine}
- Load: {arguments.load}
- Wine: {arguments.wine}, virtual desktop {width:g}×{height:g} on Xvfb
- Command: `{arguments.command}`
- Medians over {rounds} rounds of the key-press work, {starts} starts and one {idle:g} s idle period per
  program and state; keys repeat after {delay:g} ms at {repeats:.1f}/s (the desktop's own settings).
- Ratio columns: median of the rounds' ratios (lowest–highest round); see note 2.

{table(figures, twin_figures)}
{letters}
## Keys to a target

How many keys bring the pointer onto a target, from the keypad grid's own arithmetic
(`src/emulation/KeypadGrid.cpp`) for every pixel and for a 16×16 target at every place, and
from the step sizes alone for {samples:,.0f} random starts and targets; see note 14.

{reach_table(figures)}
{twin}
## Round by round

{steadiness(figures)}

## Notes

{NOTES.strip()}""")


if __name__ == "__main__":
    main()

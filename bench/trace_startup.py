#!/usr/bin/env python3
"""Compares two relay traces of a program's start (WINEDEBUG=+timestamp,+relay): the calls
before and after the program's own code first calls out, how long it took from then until the
program went idle, the functions the first program calls more often than the second from then
on, and the slowest calls of each program's own code.

Usage: trace_startup.py TARNWICK.trace FLOOR.trace
"""

import re
import sys
from collections import Counter

# 0123.456:0134:Call user32.ShowWindow(0001005e,00000001) ret=140003a78
CALL = re.compile(r"^(\d+\.\d+):[0-9a-f]+:(Call|Ret) +([\w.]+)\((.*?)\)(?: retval=\S+)? ret=([0-9a-f]+)$")
# Where the executable's image lies (its preferred base, which Wine keeps).
IMAGE = re.compile(r"^14[0-9a-f]{7}$")
SLOW_SECONDS = 0.003


# A pause this long in the calls means the program has gone idle, waiting for input.
IDLE_SECONDS = 1.0


def read(path):
    before, after, counts, slow, calls = 0, 0, Counter(), [], []
    started = None
    idle = None
    last = None
    open_calls = []
    with open(path, errors="replace") as lines:
        for line in lines:
            match = CALL.match(line.rstrip())
            if not match:
                continue
            time, kind, name, arguments, caller = match.groups()
            time = float(time)
            started = time if started is None else started
            if calls and idle is None and last is not None and time - last >= IDLE_SECONDS:
                idle = last - calls[0]
            last = time
            own = IMAGE.match(caller) is not None
            if kind == "Call":
                if own and not calls:
                    calls.append(time)
                if calls:
                    after += 1
                    counts[name] += 1
                else:
                    before += 1
                if own:
                    open_calls.append((name, time, arguments[:50]))
            elif own:
                for index in range(len(open_calls) - 1, -1, -1):
                    if open_calls[index][0] == name:
                        called, at, shown = open_calls.pop(index)
                        if time - at >= SLOW_SECONDS:
                            slow.append((at - started, time - at, f"{called}({shown})"))
                        break
    if idle is None and calls:
        idle = last - calls[0]  # idle until it was stopped
    return before, after, counts, slow, idle


def main():
    tarnwick, floor = (read(path) for path in sys.argv[1:3])
    print("| | Tarnwick | dialog floor |\n|---|---|---|")
    print(f"| calls into system libraries before the program's own code first calls out | {tarnwick[0]:,} | {floor[0]:,} |")
    print(f"| calls from then on, until the program was stopped | {tarnwick[1]:,} | {floor[1]:,} |")
    idle = [f"{result[4] * 1e3:.0f} ms" if result[4] is not None else "—" for result in (tarnwick, floor)]
    print(f"| from that first call until the program went idle, under the trace | {idle[0]} | {idle[1]} |")
    print("\nCalled more often by Tarnwick than by the dialog floor, from its own code's first call on:\n")
    print("| function | Tarnwick | dialog floor |\n|---|---|---|")
    more = sorted(tarnwick[2], key=lambda name: floor[2][name] - tarnwick[2][name])[:12]
    for name in more:
        if tarnwick[2][name] > floor[2][name]:
            print(f"| {name} | {tarnwick[2][name]:,} | {floor[2][name]:,} |")
    for title, (_, _, _, slow, _) in (("Tarnwick", tarnwick), ("dialog floor", floor)):
        print(f"\n{title}: calls of its own code that took {SLOW_SECONDS * 1e3:g} ms or more under the trace\n")
        for at, seconds, call in slow:
            print(f"    {at * 1e3:7.0f} ms  {seconds * 1e3:5.0f} ms  {call}")


if __name__ == "__main__":
    main()

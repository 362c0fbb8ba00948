#!/usr/bin/env bash
# Measures Tarnwick against the two floor programs (bench/floor.cpp, bench/dialog_floor.cpp)
# under Wine: builds them and the driver, runs the driver in a Wine session of its own, then
# once more with the dialog floor as both programs to show how far apart two identical
# programs land; writes bench/results.md and prints its table. Takes about thirty minutes
# on two processors, depending on what else runs. Works from any directory.
#
# Usage: bench/run.sh [--rounds N] [--starts N] [--idle SECONDS] [--grid-rounds N] [--letter-rounds N]
#   passed on to the driver; by default 3 rounds of key presses, 5 starts, 20 s idle in each
#   state, 1,000 openings of the keypad grid for its growth and 1,000 rounds of the start/stop
#   key on and off for the letter keypad's, and 2 rounds and 5 starts (no idle) for the two
#   identical programs, which have no letter keypad.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/prerequisites.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j 2 --target tarnwick floor dialog_floor driver

build=build/mingw
programs=("tarnwick=$build/tarnwick.exe" "floor=$build/bench/floor.exe" "dialog_floor=$build/bench/dialog_floor.exe")
options=(--rounds 3 --starts 5 --idle 20 --grid-rounds 1000 --letter-rounds 1000 "$@")
# Every figure of every round, kept for a closer look.
figures=build/bench-figures.tsv
twin_figures=build/bench-twin-figures.tsv

# What else the machine is doing: its load average and the other Wine sessions running.
load() {
  local sessions
  sessions=$(pgrep -c -x wineserver64 || true)
  echo "load average $(cut -d ' ' -f 1 /proc/loadavg), $sessions other Wine sessions"
}

started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(load)
# The driver bounds each of its waits; these bound the whole run.
timeout 1800 scripts/wine-session.sh scripts/wine-run "$build/bench/driver.exe" "${programs[@]}" \
  "${options[@]}" >"$figures"
load_between=$(load)
# The dialog floor has a tray icon in both runs or in neither.
tray=()
if grep -q $'^driver\ttray\t1' "$figures"; then tray=(--tray); fi
twin=("dialog_floor=$build/bench/dialog_floor.exe" "dialog_floor=$build/bench/dialog_floor.exe")
# Two rounds there rather than three keep the whole to about thirty minutes on a busy
# machine; the grid's openings there show how far apart two identical programs grow.
twin_options=(--rounds 2 --starts 5 --grid-rounds 1000 "$@" --idle 0 "${tray[@]}")
timeout 900 scripts/wine-session.sh scripts/wine-run "$build/bench/driver.exe" "${twin[@]}" \
  "${twin_options[@]}" >"$twin_figures"
load_after=$(load)

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
python3 bench/report.py "$figures" --twin "$twin_figures" \
  --twin-command "driver.exe dialog_floor=… dialog_floor=… ${twin_options[*]}" \
  --date "$started" --machine "$(nproc) processors ($cpu), $memory of memory, Linux $(uname -r)" \
  --load "before the run $load_before; between the two runs $load_between; after $load_after" \
  --wine "$(wine --version 2>/dev/null)" --command "bench/run.sh${*:+ $*}" >bench/results.md

sed -n '/^| metric/,/^$/p' bench/results.md
echo "bench/results.md has the tables with their notes; $figures and $twin_figures have every figure."

#!/usr/bin/env bash
# Measures Tarnwick against the floor program (bench/floor.cpp) under Wine: builds both and
# the driver, runs the driver in a Wine session of its own, writes bench/results.md and
# prints its table. Takes about eight minutes. Works from any directory.
#
# Usage: bench/run.sh [--rounds N] [--starts N] [--idle SECONDS]
#   passed on to the driver; by default 5 rounds of key presses, 5 starts and 60 s idle.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/prerequisites.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" --target tarnwick floor driver

# Every figure of every round, kept for a closer look.
figures=build/bench-figures.tsv
started=$(date -u '+%Y-%m-%d %H:%M UTC')
# The driver bounds each of its waits; this bounds the whole run.
timeout 1500 scripts/wine-session.sh scripts/wine-run build/mingw/bench/driver.exe \
  build/mingw/tarnwick.exe build/mingw/bench/floor.exe "$@" >"$figures"

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
python3 bench/report.py "$figures" --date "$started" \
  --machine "$(nproc) processors ($cpu), $memory of memory, Linux $(uname -r)" \
  --wine "$(wine --version 2>/dev/null)" --command "bench/run.sh${*:+ $*}" >bench/results.md

sed -n '/^| metric/,/^$/p' bench/results.md
echo "bench/results.md has the table with its notes; $figures has every figure of every round."

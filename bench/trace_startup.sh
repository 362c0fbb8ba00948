#!/usr/bin/env bash
# Where Tarnwick's start-up goes beside the dialog floor's: starts each once under Wine's relay
# trace (every call into a system library, timed) and prints, from the first call of each
# program's own code on, what Tarnwick calls more often than the floor and which calls of
# each program's own code took longest. The trace slows everything tenfold or more, so its
# times only compare with each other. Takes about a minute.
#
# Usage: bench/trace_startup.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j 2 --target tarnwick dialog_floor
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-trace.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp build/mingw/tarnwick.exe build/mingw/bench/dialog_floor.exe "$work"
# Tarnwick's settings as the benchmark writes them: the first speed, F9 to start and stop.
printf '\0\0\0\0\x78\0\0\0\0\0\0\0\0\0\0\0' >"$work/para.dll"

# Each program runs for a few seconds, well past its start-up even under the trace, and is
# then stopped; the dialog floor gets the tray icon that Tarnwick has.
export TRACE_DIR=$work
timeout 300 scripts/wine-session.sh bash -c '
  for program in tarnwick dialog_floor; do
    WINEDEBUG=+timestamp,+relay timeout 10 wine "$TRACE_DIR/$program.exe" /tray \
      2>"$TRACE_DIR/$program.trace" || true
  done'
python3 bench/trace_startup.py "$work/tarnwick.trace" "$work/dialog_floor.trace"

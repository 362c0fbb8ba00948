#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), starting from its seeds in
# tests/fuzz/corpus/<target>. Prints, per target, the inputs run and libFuzzer's coverage figures
# (cov: code edges reached, ft: features), and for a crash its first report lines and the input
# that caused it. Exits non-zero when any target crashed. Works from any directory.
#
# The seeds are only read: the inputs a run finds go to a temporary corpus, dropped at the end.
# A crash's input stays in build/fuzz/crashes/<target>/; once the fault is fixed, it belongs
# among the seeds, where every later run, scripts/test.sh's among them, tries it first.
#
# Usage: bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-60}
scripts/prerequisites.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! { cmake --preset fuzz && cmake --build --preset fuzz -j "$(nproc)"; } >"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  echo "fuzz: build failed" >&2
  exit 1
fi

mapfile -t targets < <(sed -n 's/^add_fuzz_target(\([a-z_]*\) .*/\1/p' tests/fuzz/CMakeLists.txt)
logs=build/fuzz/logs
mkdir -p "$logs"
crashed=0
for target in "${targets[@]}"; do
  crashes=build/fuzz/crashes/$target
  mkdir -p "$work/$target" "$crashes"
  log=$logs/$target.log
  status=0
  # The first folder takes what the run finds; the seeds' folder is read only. An input that
  # runs for 10 s counts as a crash (a hang); the outer bound is for a run that never ends.
  timeout $((seconds + 300)) "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$work/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1 || true)
  if ((status == 0)); then
    printf '%-24s %10s runs  %s\n' "$target" "${runs:-?}" "$coverage"
    continue
  fi
  crashed=1
  input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
  printf '%-24s CRASHED (exit %d) after %s runs  %s\n' "$target" "$status" "${runs:-?}" "$coverage"
  grep -E 'ERROR: |runtime error|invariant broken|SUMMARY|deadly signal' "$log" | head -n 5 | sed 's/^/  /'
  echo "  log: $log"
  if [[ -n $input ]]; then
    echo "  input: $input  (again: build/fuzz/tests/fuzz/$target $input; then keep it as a seed in tests/fuzz/corpus/$target/)"
  fi
done
exit "$crashed"

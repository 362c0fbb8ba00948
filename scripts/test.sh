#!/usr/bin/env bash
# Runs every test of Tarnwick: builds the portable logic for this machine with GCC and with
# clang and runs its tests, plainly and under the sanitizers; runs its fuzz targets briefly;
# builds the Windows program and its tests with mingw-w64 GCC and with clang for the same
# target; runs clang-tidy over the sources; then runs both builds' Windows tests under Wine,
# in a private display and a fresh Wine prefix. Every build treats warnings as errors. Stops at
# the first failure, with a non-zero exit status. Works from any directory.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

jobs=$(nproc)
scripts/prerequisites.sh

build() {
  cmake --preset "$1"
  cmake --build --preset "$1" -j "$jobs"
}

# The native-sanitize tests stop at the first report of AddressSanitizer or
# UndefinedBehaviorSanitizer.
for preset in native native-clang native-sanitize; do
  build "$preset"
  ctest --preset "$preset" -j "$jobs"
done

# Every fuzz target for a few seconds from its seeds, which hold the inputs of past crashes.
scripts/fuzz.sh 5

build mingw
# The release from this build: what its zip holds, the same bytes from a second build in
# another folder, and one version number.
tests/release/check_release.sh
build mingw-clang

# tidy BUILD FILES...: clang-tidy over FILES as BUILD compiles them, quietly when clean.
tidy() {
  local build=$1
  shift
  printf '%s\n' "$@" | xargs -P "$jobs" -n 4 clang-tidy --quiet -p "$build" \
    2> >(grep -v 'warnings\? generated\.$' >&2)
}
# The portable sources as this machine compiles them; every source as the clang build for
# Windows compiles it, so that windows.h code is seen as it is built.
sources() { sed -n "s|^ *\"file\": \"\\($PWD/src/[^\"]*\\)\".*|\\1|p" "$1/compile_commands.json"; }
mapfile -t portable < <(sources build/native-clang)
mapfile -t windows < <(sources build/mingw-clang)
echo "clang-tidy: ${#portable[@]} sources for this machine, ${#windows[@]} for Windows"
tidy build/native-clang "${portable[@]}"
tidy build/mingw-clang "${windows[@]}"

# One test at a time: the Windows tests share the session's desktop, and the hotkeys they
# register are system-wide.
scripts/wine-session.sh sh -c 'ctest --test-dir build/mingw --output-on-failure &&
  ctest --test-dir build/mingw-clang --output-on-failure'

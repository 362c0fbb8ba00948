#!/usr/bin/env bash
# Runs every test of Tarnwick: builds the portable logic with the host compiler and runs its
# tests, plainly and under the sanitizers, then builds the Windows program and its tests with
# mingw-w64 and runs those under Wine, in a private display and a fresh Wine prefix. Stops at
# the first failure, with a non-zero exit status. Works from any directory.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

jobs=$(nproc)
scripts/prerequisites.sh

cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer; the first report
# stops the test that made it.
cmake --preset native-sanitize
cmake --build --preset native-sanitize -j "$jobs"
ctest --preset native-sanitize -j "$jobs"

cmake --preset mingw
cmake --build --preset mingw -j "$jobs"
# The release from this build: what its zip holds, the same bytes from a second build in
# another folder, and one version number.
tests/release/check_release.sh
# One test at a time: the Windows tests share the session's desktop, and the hotkeys they
# register are system-wide.
scripts/wine-session.sh ctest --test-dir build/mingw --output-on-failure

#!/usr/bin/env bash
# Builds tarnwick.exe (the mingw preset, as scripts/run.sh and scripts/test.sh do) and writes
# the release beside the sources: dist/tarnwick-<version>-win64.zip, the same files unpacked
# in dist/tarnwick-<version>/, and dist/SHA256SUMS. One commit gives the same bytes in any
# folder, at any time (scripts/package_release.py says how). Works from any directory.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [[ -n $(git status --porcelain --untracked-files=no 2>/dev/null) ]]; then
  echo "release: the tree has uncommitted changes, so this is not the last commit's release" >&2
fi
scripts/prerequisites.sh
cmake --preset mingw
cmake --build --preset mingw --target release -j "$(nproc)"
cat dist/SHA256SUMS

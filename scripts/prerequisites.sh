#!/usr/bin/env bash
# Installs, with apt, the Debian packages that building, running and testing Tarnwick need,
# and only those that are missing, so that on a machine that has them all it is quick and
# says nothing.
set -euo pipefail

packages=(
  # native build and tests
  cmake g++ make googletest
  # Windows build
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  # the second compiler, native and for Windows (llvm brings its resource compiler), and the
  # static analyser
  clang lld llvm clang-tidy
  # the fuzz targets' runtime (libFuzzer and the sanitizers for clang)
  libclang-rt-dev
  # running the Windows build
  wine wine64 fonts-wine
  # private display, its checks and screenshots
  xvfb xauth x11-utils imagemagick xdotool
  python3
)

missing=()
for package in "${packages[@]}"; do
  # Only "installed" counts: a package removed with its configuration kept is still listed.
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  if [[ $status != installed ]]; then missing+=("$package"); fi
done
if ((${#missing[@]} == 0)); then exit 0; fi

# sudo would drop DEBIAN_FRONTEND from the environment, so env passes it on.
as_root=(env DEBIAN_FRONTEND=noninteractive)
if ((EUID != 0)); then as_root=(sudo "${as_root[@]}"); fi

echo "prerequisites: installing ${missing[*]}" >&2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# apt's output matters only when it fails.
if ! { "${as_root[@]}" apt-get update -q && "${as_root[@]}" apt-get install -y -q "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "prerequisites: apt-get failed" >&2
  exit 1
fi

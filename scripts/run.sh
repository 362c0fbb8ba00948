#!/usr/bin/env bash
# Builds Tarnwick and runs it under Wine. Works from any directory.
#
# With a display (DISPLAY set and answering), Tarnwick opens there on a Wine virtual desktop
# with a taskbar, in the lasting Wine prefix build/wineprefix, so its settings and start-up
# registration survive between runs; the script returns when Tarnwick exits.
# With none, Tarnwick starts on a private display in a throwaway prefix; once it shows (or
# 30 s pass, or it exits) the screen is saved to build/screenshot.png, the dialog cut from it
# to docs/screenshot.png (the README's picture), and everything stops.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

readonly exe=build/mingw/tarnwick.exe
readonly screenshot=build/screenshot.png
readonly readme_picture=docs/screenshot.png

screen_hash() { import -silent -window root bmp:- | md5sum; }

# Runs inside the session that the last line starts, with its WINEPREFIX and DISPLAY.
# Inside a Wine virtual desktop Tarnwick's dialog is no X window of its own, so the screen
# itself tells when it shows: it has changed from the empty desktop.
capture_screenshot() {
  local empty_desktop
  empty_desktop=$(screen_hash)
  wine "$exe" &
  local deadline=$((SECONDS + 30))
  while ((SECONDS < deadline)) && [[ -n $(jobs -rp) ]]; do
    sleep 0.5
    if [[ $(screen_hash) != "$empty_desktop" ]]; then
      sleep 2 # the rest of the dialog and the tray icon
      break
    fi
  done
  import -silent -window root "$screenshot"
  echo "$PWD/$screenshot"
  cut_out_dialog
  echo "$PWD/$readme_picture"
  # The session ends Tarnwick with every other Wine process of its prefix.
}

# The dialog alone: everything above the taskbar that is not the plain desktop. A border in
# the desktop's colour lets -trim take that colour even where the dialog fills a corner.
cut_out_dialog() {
  local desktop
  desktop=$(convert "$screenshot" -format '%[pixel:p{1000,700}]' info:)
  mkdir -p "$(dirname "$readme_picture")"
  convert "$screenshot" -crop 1024x720+0+0 +repage -bordercolor "$desktop" -border 1 \
    -trim +repage -strip -define png:exclude-chunks=date,time "$readme_picture"
}

if [[ ${1:-} == --capture-screenshot ]]; then
  capture_screenshot
  exit 0
fi

scripts/prerequisites.sh
cmake --preset mingw
cmake --build --preset mingw -j "$(nproc)"

if [[ -n ${DISPLAY:-} ]] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  TARNWICK_USE_DISPLAY=1 TARNWICK_PREFIX=build/wineprefix exec scripts/wine-session.sh wine "$exe"
fi
exec scripts/wine-session.sh scripts/run.sh --capture-screenshot

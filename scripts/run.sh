#!/usr/bin/env bash
# Builds Tarnwick and runs it under Wine. Works from any directory.
#
# With a display (DISPLAY set and answering), Tarnwick opens there on a Wine virtual desktop
# with a taskbar, in the lasting Wine prefix build/wineprefix, so its settings and start-up
# registration survive between runs; the script returns when Tarnwick exits.
# With none, Tarnwick starts on a private display in a throwaway prefix; once it shows (or
# 30 s pass, or it exits) the screen is saved to build/screenshot.png, the dialog cut from it
# to docs/screenshot.png (the README's picture). Then a copy with the extended keypad on opens
# its keypad grid, and that screen is saved to build/grid.png and docs/grid.png; three digits
# later, over the dialog, its loupe shows, saved to build/loupe.png and docs/loupe.png.
# Everything stops.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

readonly exe=build/mingw/tarnwick.exe
readonly screenshot=build/screenshot.png
readonly readme_picture=docs/screenshot.png
readonly grid_screenshot=build/grid.png
readonly grid_picture=docs/grid.png
readonly loupe_screenshot=build/loupe.png
readonly loupe_picture=docs/loupe.png

screen_hash() { import -silent -window root bmp:- | md5sum; }

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds or SECONDS pass.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" || ((SECONDS >= deadline)); do sleep 0.5; done
}

screen_is() { [[ $(screen_hash) == "$1" ]]; }
screen_differs() { [[ $(screen_hash) != "$1" ]]; }
shown_or_gone() { screen_differs "$empty_desktop" || [[ -z $(jobs -rp) ]]; }

# start_tarnwick PROGRAM: starts it in the background, as tarnwick_pid, and returns once it
# shows (or 30 s pass, or it exits). Inside a Wine virtual desktop Tarnwick's dialog is no X
# window of its own, so the screen itself tells when it shows: it has changed from the empty
# desktop.
start_tarnwick() {
  wine "$1" &
  tarnwick_pid=$!
  wait_until 30 shown_or_gone
  sleep 2 # the rest of the dialog and the tray icon
}

# Runs inside the session that the last line starts, with its WINEPREFIX and DISPLAY.
capture_screenshots() {
  empty_desktop=$(screen_hash)
  start_tarnwick "$exe"
  import -silent -window root "$screenshot"
  echo "$PWD/$screenshot"
  cut_out_dialog
  echo "$PWD/$readme_picture"
  # The option is read at start-up, so the grid needs a second Tarnwick that finds
  # "tarnwick.ini" beside itself. Its copy lives in the throwaway prefix, so no such file is
  # left beside the build's executable.
  kill "$tarnwick_pid"
  wait "$tarnwick_pid" || true
  wait_until 10 screen_is "$empty_desktop"
  local folder=$WINEPREFIX/drive_c/Tarnwick
  mkdir -p "$folder"
  cp "$exe" "$folder/"
  printf '[Keypad]\r\nExtended=1\r\n' >"$folder/tarnwick.ini"
  start_tarnwick "$folder/tarnwick.exe"
  # NumLock is off on this display, which Tarnwick says in a balloon that Wine shows for ten
  # seconds; the grid's picture is taken once it has gone.
  sleep 11
  # The pointer away from the cells' digits, which are left out where it covers them.
  xdotool mousemove 1000 20
  sleep 1
  local dialog
  dialog=$(screen_hash)
  xdotool key KP_Multiply
  wait_until 10 screen_differs "$dialog"
  sleep 1 # the whole grid painted
  import -silent -window root "$grid_screenshot"
  echo "$PWD/$grid_screenshot"
  convert "$grid_screenshot" -strip -define png:exclude-chunks=date,time "$grid_picture"
  echo "$PWD/$grid_picture"
  # Top left, the centre, the centre: a region three digits deep over the usage manual.
  local digit shown
  for digit in KP_7 KP_5 KP_5; do
    shown=$(screen_hash)
    xdotool key "$digit"
    wait_until 10 screen_differs "$shown"
  done
  sleep 1 # the loupe painted
  import -silent -window root "$loupe_screenshot"
  echo "$PWD/$loupe_screenshot"
  convert "$loupe_screenshot" -strip -define png:exclude-chunks=date,time "$loupe_picture"
  echo "$PWD/$loupe_picture"
  # The session ends Tarnwick with every other Wine process of its prefix.
}

# The dialog alone: everything in the top left of the screen, where it opens, that is not the
# plain desktop; the NumLock balloon stands at the bottom right. A border in the desktop's
# colour lets -trim take that colour even where the dialog fills a corner.
cut_out_dialog() {
  local desktop
  desktop=$(convert "$screenshot" -format '%[pixel:p{600,400}]' info:)
  mkdir -p "$(dirname "$readme_picture")"
  convert "$screenshot" -crop 640x480+0+0 +repage -bordercolor "$desktop" -border 1 \
    -trim +repage -strip -define png:exclude-chunks=date,time "$readme_picture"
}

if [[ ${1:-} == --capture-screenshots ]]; then
  capture_screenshots
  exit 0
fi

scripts/prerequisites.sh
cmake --preset mingw
cmake --build --preset mingw -j "$(nproc)"

if [[ -n ${DISPLAY:-} ]] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  TARNWICK_USE_DISPLAY=1 TARNWICK_PREFIX=build/wineprefix exec scripts/wine-session.sh wine "$exe"
fi
exec scripts/wine-session.sh scripts/run.sh --capture-screenshots

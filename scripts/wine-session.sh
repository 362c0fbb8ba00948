#!/usr/bin/env bash
# Runs COMMAND [ARGS...] inside a Wine session of its own and returns COMMAND's exit status.
#
# The session is what Tarnwick needs to behave as on a Windows desktop: a private X display
# (Xvfb), a fresh Wine prefix whose programs all share one virtual desktop with a taskbar and
# notification area, and one wineserver that lives as long as COMMAND, so the Wine programs
# COMMAND starts one after another meet the same desktop. However COMMAND ends (success,
# failure, Ctrl-C or kill), the display, every Wine process and the prefix go with it.
#
# COMMAND sees WINEPREFIX, DISPLAY, WINEDEBUG and WINEDLLOVERRIDES; scripts/wine-run runs one
# Windows program in it.
#
# Environment knobs:
#   TARNWICK_PREFIX=DIR     use DIR as a lasting prefix (set up on first use, kept afterwards)
#   TARNWICK_KEEP_PREFIX=1  keep the throwaway prefix for a look afterwards; its path is printed
#   TARNWICK_USE_DISPLAY=1  show the desktop on the current DISPLAY instead of a private Xvfb
#
# How the desktop comes up: the registry values below make every plain `wine prog.exe` open
# the virtual desktop "Default", and EnableShell gives it the taskbar with the notification
# area ("Shell_TrayWnd"). Left to the first test program, though, Wine 8 creates the desktop
# while that program starts, so it finds no taskbar yet, and closes the desktop a few seconds
# after the last program exits, so the next test starts on a new one. Hence the session
# starts `explorer /desktop=...` itself and keeps it for its whole life: explorer makes the
# taskbar before it runs the command given after the desktop option, and that command (a
# silent regedit export) leaves the file the session waits for.

# Several functions run only from the traps or through wait_for, which shellcheck cannot see.
# shellcheck disable=SC2317
set -euo pipefail

readonly desktop_name=Default
readonly desktop_size=1024x768
# Left in a prefix once it is completely set up, so a lasting prefix whose set-up was cut
# short is set up again.
readonly ready_mark=.tarnwick-session-ready

if (($# == 0)); then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-wine.XXXXXX")
xvfb_pid=''
explorer_pid=''
command_pid=''
server_started=''

log() { printf 'wine-session: %s\n' "$*" >&2; }

# die MESSAGE [LOG]: stops the session, showing the end of LOG when the cause is in there.
die() {
  log "$1"
  if [[ -s ${2:-} ]]; then tail -n 20 "$2" >&2; fi
  exit 1
}

milliseconds() { echo $(($(date +%s%N) / 1000000)); }

# wait_for SECONDS COMMAND...: polls COMMAND until it succeeds; fails once SECONDS have passed.
wait_for() {
  local deadline=$(($(milliseconds) + $1 * 1000))
  shift
  until "$@"; do
    (($(milliseconds) < deadline)) || return 1
    sleep 0.1
  done
}

# A child that has exited stays a zombie until it is reaped, which kill -0 cannot tell apart.
running() {
  local state
  state=$(ps -o stat= -p "$1") || return 1
  [[ $state != Z* ]]
}

not_running() { ! running "$1"; }

# stop_process PID: asks our child PID to end, insists after 5 s, and reaps it.
stop_process() {
  kill -TERM "$1" 2>/dev/null || true
  wait_for 5 not_running "$1" || kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

cleanup() {
  local status=$?
  trap - EXIT
  trap '' INT TERM HUP # a second Ctrl-C must not cut the clean-up short
  set +e
  if [[ -n $command_pid ]]; then stop_process "$command_pid"; fi
  if [[ -n $server_started ]]; then
    # Ends every Wine process of the prefix, then the server itself.
    wineserver -k 2>/dev/null
    timeout 10 wineserver -w 2>/dev/null || log "wineserver did not stop within 10 s"
  fi
  if [[ -n $explorer_pid ]]; then stop_process "$explorer_pid"; fi
  if [[ -n $xvfb_pid ]]; then stop_process "$xvfb_pid"; fi
  if [[ -n ${TARNWICK_KEEP_PREFIX:-} && -z ${TARNWICK_PREFIX:-} ]]; then
    log "kept the Wine prefix $session_dir/prefix"
  else
    rm -rf "$session_dir"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

display_answers() { timeout 5 xdpyinfo >/dev/null 2>&1; }

start_xvfb() {
  local number_file=$session_dir/display
  # -displayfd lets Xvfb pick a free display number itself and tells it once it accepts
  # connections, so sessions running side by side never race for the same number.
  # -noreset keeps it from resetting whenever its last client disconnects. The screen is just
  # the size of the Wine desktop, which thus fills every screenshot.
  Xvfb -displayfd 3 -screen 0 "${desktop_size}x24" -nolisten tcp -noreset \
    3>"$number_file" >"$session_dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_for 10 test -s "$number_file" || die "Xvfb did not start" "$session_dir/xvfb.log"
  DISPLAY=:$(<"$number_file")
  export DISPLAY
  wait_for 10 display_answers || die "Xvfb on $DISPLAY does not answer" "$session_dir/xvfb.log"
}

# create_prefix: makes the prefix the session needs and leaves the server running.
create_prefix() {
  local started
  started=$(milliseconds)
  timeout 120 wineboot -i >"$session_dir/wineboot.log" 2>&1 ||
    die "wineboot failed in $WINEPREFIX" "$session_dir/wineboot.log"
  # Mouse settings stay at Wine's defaults (pointer acceleration included), as on a stock
  # Windows desktop; only the desktop is set.
  {
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$desktop_name" /f &&
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$desktop_name" /d "$desktop_size" /f &&
      wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$desktop_name" /v EnableShell /t REG_DWORD /d 1 /f
  } >"$session_dir/reg.log" 2>&1 || die "could not set the desktop in the registry" "$session_dir/reg.log"
  # Debian's Wine 8 looks for its own fonts in a directory it cannot open, so dialogs lose
  # MS Sans Serif and Tahoma and caption buttons show letters instead of Marlett glyphs.
  # Wine also loads every font in the prefix's Fonts folder, so the fonts are linked there.
  local fonts=(/usr/share/wine/fonts/*)
  if [[ -e ${fonts[0]} ]]; then ln -sf "${fonts[@]}" "$WINEPREFIX/drive_c/windows/Fonts/"; fi
  # wineboot opened a desktop before the settings above existed; a new server closes it, so
  # the next desktop is the virtual one.
  wineserver -k
  timeout 10 wineserver -w || die "wineserver did not stop within 10 s"
  wineserver -p
  touch "$WINEPREFIX/$ready_mark"
  local elapsed=$(($(milliseconds) - started))
  log "new Wine prefix in $((elapsed / 1000)).$((elapsed % 1000 / 100)) s"
}

start_desktop() {
  local marker='C:\desktop-ready.reg'
  local marker_file=$WINEPREFIX/drive_c/desktop-ready.reg
  rm -f "$marker_file"
  wine explorer "/desktop=$desktop_name,$desktop_size" \
    regedit /E "$marker" 'HKEY_CURRENT_USER\Software\Wine\Explorer' >"$session_dir/explorer.log" 2>&1 &
  explorer_pid=$!
  wait_for 30 test -e "$marker_file" || die "the Wine desktop did not come up" "$session_dir/explorer.log"
  rm -f "$marker_file"
}

export WINEDEBUG=-all
# No Mono or Gecko installer dialogs; no menu entries and file associations written into
# the user's home directory.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'

if [[ -n ${TARNWICK_USE_DISPLAY:-} ]]; then
  display_answers || die "DISPLAY '${DISPLAY:-}' does not answer"
else
  start_xvfb
fi

if [[ -n ${TARNWICK_PREFIX:-} ]]; then
  mkdir -p "$TARNWICK_PREFIX"
  WINEPREFIX=$(cd "$TARNWICK_PREFIX" && pwd)
else
  WINEPREFIX=$session_dir/prefix
  mkdir "$WINEPREFIX"
  # Wine keeps each server's socket under $TMPDIR/wine-*; a throwaway prefix gets a throwaway
  # TMPDIR so that goes too. Every Wine process of the session must see the same TMPDIR.
  export TMPDIR=$session_dir/tmp
  mkdir "$TMPDIR"
fi
export WINEPREFIX

# A persistent server from the start, so the desktop and the services outlive each program.
wineserver -p || die "could not start wineserver for $WINEPREFIX; is another session using it?"
server_started=1
if [[ ! -e $WINEPREFIX/$ready_mark ]]; then create_prefix; fi
start_desktop

# COMMAND runs in the background so that a signal reaches the traps at once rather than
# after COMMAND ends; its standard input stays the session's.
"$@" <&0 &
command_pid=$!
status=0
wait "$command_pid" || status=$?
command_pid=''
exit "$status"

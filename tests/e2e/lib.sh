# Shared by the end-to-end scripts: a private X server, screenshots, waiting.
# Sourced; expects `set -euo pipefail` in the caller.

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/gloamfield-e2e-XXXXXX)
xvfb_pid=""
# A game started without a settings file writes one into the player's folder: this run's.
export XDG_CONFIG_HOME=$work/config

# Ends a child process and reaps it, so nothing of this run outlives it.
stop() {
  [ -n "${1:-}" ] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

cleanup() {
  local status=$?
  stop "${game_pid:-}"
  stop "${other_pid:-}"
  stop "${wm_pid:-}"
  stop "$xvfb_pid"
  if [ $status -eq 0 ] && [ -z "${KEEP_E2E_WORK:-}" ]; then
    rm -rf "$work"
  else
    echo "screenshots and logs kept in $work"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Ends the script as a test that could not run here (CTest's SKIP_RETURN_CODE).
skip() {
  echo "SKIPPED: $*"
  exit 77
}

# wait_for SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds;
# false once SECONDS have passed without.
wait_for() {
  local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
  shift
  until "$@"; do
    [ "${EPOCHREALTIME/./}" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Starts a private Xvfb on a display number it chooses itself and exports DISPLAY.
start_x() {
  local size=${1:-1024x768x24}
  command -v Xvfb >/dev/null || skip "no Xvfb: no display to play on"
  rm -f "$work/display" # a second server must not find the first one's number
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$work/display")"
  wait_for 10 eval 'xdotool getdisplaygeometry >/dev/null 2>&1' && return 0
  fail "Xvfb does not answer on $DISPLAY"
}

# shot NAME: NAME.ppm for the checks, NAME.png for people.
shot() {
  xwd -root -silent | convert xwd:- "$work/$1.ppm"
  convert "$work/$1.ppm" "$work/$1.png"
}

pixels() { python3 "$e2e_dir/pixels.py" "$@"; }

# day_shows NAME: shot NAME shows the day sky above the horizon (the game's 640 x 480 grid
# scaled to 1024 x 768).
day_shows() {
  shot "$1"
  [ "$(pixels count "$work/$1.ppm" 400 0 1000 120 76D3E4 3)" -gt 20000 ]
}

# The clock's glyphs changed between two shots (by how many pixels); clock_moved NAME:
# shot NAME-1's clock differs from NAME-0's, as it does once a second while the game runs
# (and not while it is away from the foreground).
clock_changes() { pixels differ "$work/$1.ppm" "$work/$2.ppm" 152 38 320 93 12; }
clock_moved() {
  shot "$1-1"
  [ "$(clock_changes "$1-0" "$1-1")" -gt 0 ]
}

# view_moved BEFORE AFTER: shot AFTER shows another view than shot BEFORE.
view_moved() {
  shot "$2"
  [ "$(pixels differ "$work/$1.ppm" "$work/$2.ppm" 300 250 700 700 12)" -gt 2000 ]
}

# wait_window NAME SECONDS: prints the id of the first mapped window with that name.
# (Read from the window tree: xdotool's name search misses UTF-8 titles.)
wait_window() {
  local name=$1 id=""
  viewable() {
    id=$(xwininfo -root -tree 2>/dev/null | awk -v n="\"$name\":" '$2 == n { print $1; exit }')
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"
  }
  wait_for "$2" viewable || return 1
  echo "$id"
}

# wait_exit PID SECONDS: waits for the process and leaves its exit status in
# $exit_status. (Not run in a subshell: only this shell can reap its own children.)
wait_exit() {
  local pid=$1
  exit_status=""
  wait_for "$2" eval '! kill -0 "$pid" 2>/dev/null' || return 1
  exit_status=0
  wait "$pid" || exit_status=$?
}

# hold KEY SECONDS: a key held down long enough for several frames to see it.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

# quit_with_escape WHAT: Escape ends the game in $game_pid within 15 s, with status 0.
quit_with_escape() {
  hold Escape 0.3
  wait_exit "$game_pid" 15 || fail "$1 did not end on Escape"
  game_pid=""
  [ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape ($1)"
}

#!/usr/bin/env bash
# The shipped settings on a wide and on a narrow screen, driven like a player:
#   screens.sh GAME_BINARY BUILD_DIR
# The game fills the screen at its own size, the display keeps its shape and its edges,
# away it draws nothing and goes on once the focus is back, W walks, and Escape ends it.
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
export LIBGL_ALWAYS_SOFTWARE=1
mkdir "$work/play"
cp -r "$build/Data" "$build/GameSettings.ini" "$work/play/"

clock_moved() { shot "$1"; [ "$(pixels differ "$work/$2.ppm" "$work/$1.ppm" 0 0 300 100 12)" -gt 0 ]; }

for size in 1920x1080 1280x1024; do
  echo "-- $size"
  start_x "${size}x24"
  (cd "$work/play" && exec "$game") >"$work/$size.out" 2>"$work/$size.err" &
  game_pid=$!
  window=$(wait_window Gloamfield 20) || fail "$size: no game window"
  full() { [ "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')" = "$size" ]; }
  wait_for 20 full || fail "$size: the window is not the whole screen"
  drawn() { shot "$size"; [ "$(pixels count "$work/$size.ppm" 0 0 400 50 76D3E4 3)" -gt 5000 ]; }
  wait_for 20 drawn || fail "$size: no day sky drawn ($size.png)"
  pixels hud "$work/$size.ppm" || fail "$size: the display is out of shape ($size.png)"

  xlogo -geometry 120x120+10+400 >/dev/null 2>&1 &
  other_pid=$!
  other=$(wait_window xlogo 10) || fail "no other window"
  xdotool windowfocus --sync "$other"
  shot away
  cpu=$(top -b -n 2 -d 3 -p "$game_pid" | awk 'END { print $9 }')
  echo "   away: $cpu % of a core"
  awk -v c="$cpu" 'BEGIN { exit !(c < 5) }' || fail "$size: $cpu % of a core while away"
  clock_moved away-later away && fail "$size: the clock moved while away"
  xdotool windowfocus --sync "$window"
  wait_for 10 clock_moved back away || fail "$size: the game did not go on after coming back"
  hold w 0.6
  shot walked
  [ "$(pixels differ "$work/back.ppm" "$work/walked.ppm" 0 300 900 900 12)" -gt 2000 ] ||
    fail "$size: W did not walk after coming back (walked.png)"
  stop "$other_pid"
  other_pid=""
  quit_with_escape "the game at $size"
  [ ! -s "$work/$size.err" ] || fail "$size: stderr: $(cat "$work/$size.err")"
  stop "$xvfb_pid"
done
echo "screens: all checks passed"

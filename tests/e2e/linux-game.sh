#!/usr/bin/env bash
# The native game end to end, driven like a player on a virtual display:
#   linux-game.sh GAME_BINARY BUILD_DIR
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1

# The clock's glyphs, the wood count's glyphs.
hud_shows() {
  local wood_sky
  wood_sky=$(pixels count "$work/$1.ppm" 152 160 203 203 76D3E4 3)
  [ "$(pixels count "$work/$1.ppm" 152 38 320 93 76D3E4 3)" -lt 8000 ] &&
    [ $(((203 - 152) * (203 - 160) - wood_sky)) -gt 100 ]
}
# clock_still NAME SECONDS: shots NAME-0, NAME-1, ... for SECONDS; false once the clock
# moves. A running clock moves every second.
clock_still() {
  local until=$((${EPOCHREALTIME/./} + $2 * 1000000))
  shot "$1-0"
  while [ "${EPOCHREALTIME/./}" -lt "$until" ]; do
    shot "$1-1"
    [ "$(clock_changes "$1-0" "$1-1")" = 0 ] || return 1
  done
}

echo "-- playing: the day sky and the HUD"
mkdir "$work/play"
cp -r "$build/Data" "$build/GameSettings.ini" "$work/play/"
(cd "$work/play" && XDG_PICTURES_DIR="$work/pictures" exec "$game") >"$work/play.out" 2>"$work/play.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || {
  xwininfo -root -tree >"$work/windows.txt" 2>&1 || true
  shot no-window
  fail "no game window"
}
xdotool windowfocus --sync "$window" 2>/dev/null || true
wait_for 20 day_shows day || fail "too little day sky above the horizon"
hud_shows day || fail "no clock or wood count drawn over the sky"

echo "-- holding W walks: the view changes"
hold w 0.8
wait_for 5 view_moved day walked || fail "the view did not change after walking"

# (Away and back, with and without a window manager: screens.sh.)

echo "-- the 4 key writes a screenshot into the pictures folder and says where"
hold 4 0.3
picture=$work/pictures/Gloamfield/screenshot-0001.png
wait_for 5 test -s "$picture" || fail "no $picture written"
[ "$(head -c 8 "$picture" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$picture is not a PNG"
wait_for 5 grep -qF "$picture" "$work/play.out" || fail "the game did not say where the screenshot went"

echo "-- Escape ends the game with status 0"
quit_with_escape "the game"
echo "-- closing the window through the window manager ends the game with status 0"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
(cd "$work/play" && exec "$game") >"$work/close.out" 2>"$work/close.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || fail "no game window under the window manager"
wait_for 20 day_shows wm-day || fail "no day sky under the window manager"
echo "-- under the window manager too: away and back, the game goes on"
xlogo -geometry 120x120+890+640 >/dev/null 2>&1 &
other_pid=$!
other=$(wait_window xlogo 10) || fail "no other window under the window manager"
xdotool windowactivate --sync "$other"
wait_for 10 clock_still wm-away 2 || fail "the clock went on after switching away under the window manager"
xdotool windowactivate --sync "$window"
shot wm-back-0
wait_for 10 clock_moved wm-back || fail "the clock did not go on after coming back under the window manager"
hold d 0.6
wait_for 5 view_moved wm-back-1 wm-stepped ||
  fail "the game did not go on after coming back under the window manager"
stop "$other_pid"
other_pid=""
[ ! -s "$work/close.err" ] || fail "stderr under the window manager: $(cat "$work/close.err")"
wait_for 5 eval 'wmctrl -c Gloamfield 2>/dev/null' || fail "the window manager does not know the game window"
wait_exit "$game_pid" 15 || fail "the game did not end when its window was closed"
status=$exit_status
game_pid=""
[ "$status" = 0 ] || fail "exit status $status after closing the window"

echo "-- a window manager that died leaves its mark on the root window: the game still covers the screen"
kill -KILL "$wm_pid"
stop "$wm_pid"
wm_pid=""
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" ||
  fail "no stale _NET_SUPPORTING_WM_CHECK left to test with"
(cd "$work/play" && exec "$game") >"$work/stale.out" 2>"$work/stale.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || fail "no game window after the window manager died"
geometry() { xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }'; }
is_size() { [ "$(geometry)" = "$1" ]; }
wait_for 10 is_size 1024x768 || fail "the game window is $(geometry), not the whole screen"
wait_for 20 day_shows stale || fail "no day sky on the whole screen after the window manager died"
hud_shows stale || fail "no HUD after the window manager died"
quit_with_escape "the game after the window manager died"

echo "-- Windowed=1: a 640 x 480 window; Alt+Enter to full screen and back, the game going on"
mkdir "$work/windowed"
cp -r "$build/Data" "$work/windowed/"
printf 'XResolution=640\nYResolution=480\nWindowed=1\n' >"$work/windowed/GameSettings.ini"
(cd "$work/windowed" && exec "$game") >"$work/windowed.out" 2>"$work/windowed.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || fail "no game window in windowed mode"
wait_for 10 is_size 640x480 || fail "the window is $(geometry), not 640x480"
shot windowed
alt_enter() {
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool keydown alt keydown Return
  sleep 0.3
  xdotool keyup Return keyup alt
}
alt_enter
wait_for 10 is_size 1024x768 || fail "Alt+Enter gave a $(geometry) window, not the full screen"
wait_for 10 day_shows full || fail "no day sky in full screen after Alt+Enter"
alt_enter
wait_for 10 is_size 640x480 || fail "the second Alt+Enter gave $(geometry), not 640x480"
went_on() {
  shot windowed-again
  [ "$(pixels differ "$work/windowed.ppm" "$work/windowed-again.ppm" 192 144 832 624 12)" -gt 0 ]
}
wait_for 5 went_on || fail "the game stood still through Alt+Enter"
quit_with_escape "the windowed game"
[ ! -s "$work/windowed.err" ] || fail "stderr in windowed mode: $(cat "$work/windowed.err")"
echo "linux end-to-end: all checks passed"

#!/usr/bin/env bash
# The native game end to end, driven like a player on a virtual display:
#   linux-game.sh GAME_BINARY BUILD_DIR
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1

echo "-- a missing settings file: the error box, status 0, no game window"
mkdir "$work/empty"
(cd "$work/empty" && exec "$game") >"$work/empty.out" 2>"$work/empty.err" &
game_pid=$!
box=$(wait_window Gloamfield 15) || fail "no error box appeared"
sleep 0.5
shot missing-settings
xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
wait_exit "$game_pid" 15 || fail "the game did not end after the error box"
status=$exit_status
game_pid=""
[ "$status" = 0 ] || fail "exit status $status after the error box"
grep -qF "File not found: 'GameSettings.ini'" "$work/empty.err" ||
  fail "stderr lacks the message: $(cat "$work/empty.err")"

echo "-- playing: the day sky and the HUD"
mkdir "$work/play"
cp -r "$build/Data" "$build/GameSettings.ini" "$work/play/"
(cd "$work/play" && exec "$game") >"$work/play.out" 2>"$work/play.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || {
  xwininfo -root -tree >"$work/windows.txt" 2>&1 || true
  shot no-window
  fail "no game window"
}
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 2
shot day
# The screen shows the 640 x 480 grid scaled by 1.6 to 1024 x 768.
sky=$(pixels count "$work/day.ppm" 400 0 1000 120 76D3E4 3)
[ "$sky" -gt 20000 ] || fail "too little day sky above the horizon ($sky pixels)"
clock=$(pixels count "$work/day.ppm" 152 38 320 93 76D3E4 3)
[ "$clock" -lt 8000 ] || fail "no clock glyphs drawn over the sky ($clock sky pixels of 9240)"
wood_sky=$(pixels count "$work/day.ppm" 152 160 203 203 76D3E4 3)
wood_glyph=$(( (203 - 152) * (203 - 160) - wood_sky ))
[ "$wood_glyph" -gt 100 ] || fail "no wood count drawn ($wood_glyph pixels)"

echo "-- holding W walks: the view changes"
hold w 0.8
sleep 0.3
shot walked
changed=$(pixels differ "$work/day.ppm" "$work/walked.ppm" 300 250 700 700 12)
[ "$changed" -gt 2000 ] || fail "the view did not change after walking ($changed pixels)"

echo "-- the 4 key writes a screenshot"
hold 4 0.3
for _ in $(seq 50); do [ -e "$work/play/screenshot-0001.png" ] && break; sleep 0.1; done
[ -s "$work/play/screenshot-0001.png" ] || fail "no screenshot-0001.png written"
[ "$(head -c 8 "$work/play/screenshot-0001.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "screenshot-0001.png is not a PNG"

echo "-- Escape ends the game with status 0"
hold Escape 0.3
wait_exit "$game_pid" 15 || fail "the game did not end on Escape"
status=$exit_status
game_pid=""
[ "$status" = 0 ] || fail "exit status $status after Escape"
echo "-- closing the window through the window manager ends the game with status 0"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
(cd "$work/play" && exec "$game") >"$work/close.out" 2>"$work/close.err" &
game_pid=$!
wait_window Gloamfield 20 >/dev/null || fail "no game window under the window manager"
sleep 1.5
closed=""
for _ in $(seq 50); do
  wmctrl -c Gloamfield 2>/dev/null && { closed=yes; break; }
  sleep 0.1
done
[ -n "$closed" ] || fail "the window manager does not know the game window"
wait_exit "$game_pid" 15 || fail "the game did not end when its window was closed"
status=$exit_status
game_pid=""
stop "$wm_pid"
wm_pid=""
[ "$status" = 0 ] || fail "exit status $status after closing the window"
echo "linux end-to-end: all checks passed"

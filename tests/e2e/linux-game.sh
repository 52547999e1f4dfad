#!/usr/bin/env bash
# The native game end to end, driven like a player on a virtual display:
#   linux-game.sh GAME_BINARY BUILD_DIR
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1

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

# (Away and back without a window manager: screens.sh.)
clock_changes() { pixels differ "$work/$1.ppm" "$work/$2.ppm" 152 38 320 93 12; }

echo "-- the 4 key writes a screenshot into the pictures folder and says where"
hold 4 0.3
picture=$work/pictures/Gloamfield/screenshot-0001.png
# The picture is written, then its path said.
for _ in $(seq 50); do grep -qF "$picture" "$work/play.out" && break; sleep 0.1; done
[ -s "$picture" ] || fail "no $picture written"
[ "$(head -c 8 "$picture" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$picture is not a PNG"
grep -qF "$picture" "$work/play.out" || fail "the game did not say where the screenshot went"

echo "-- Escape ends the game with status 0"
quit_with_escape "the game"
echo "-- closing the window through the window manager ends the game with status 0"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
(cd "$work/play" && exec "$game") >"$work/close.out" 2>"$work/close.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || fail "no game window under the window manager"
sleep 1.5
echo "-- under the window manager too: away and back, the game goes on"
xlogo -geometry 120x120+890+640 >/dev/null 2>&1 &
other_pid=$!
other=$(wait_window xlogo 10) || fail "no other window under the window manager"
xdotool windowactivate --sync "$other"
sleep 1
shot wm-away-1
sleep 3
shot wm-away-2
[ "$(clock_changes wm-away-1 wm-away-2)" = 0 ] || fail "the clock moved while away under the window manager"
xdotool windowactivate --sync "$window"
sleep 0.5
hold d 0.6
sleep 0.3
shot wm-back
[ "$(pixels differ "$work/wm-away-2.ppm" "$work/wm-back.ppm" 300 250 700 700 12)" -gt 2000 ] ||
  fail "the game did not go on after coming back under the window manager"
stop "$other_pid"
other_pid=""
[ ! -s "$work/close.err" ] || fail "stderr under the window manager: $(cat "$work/close.err")"
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

echo "-- Windowed=1: a 640 x 480 window; Alt+Enter to full screen and back, the game going on"
mkdir "$work/windowed"
cp -r "$build/Data" "$work/windowed/"
printf 'XResolution=640\nYResolution=480\nWindowed=1\n' >"$work/windowed/GameSettings.ini"
(cd "$work/windowed" && exec "$game") >"$work/windowed.out" 2>"$work/windowed.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || fail "no game window in windowed mode"
geometry() { xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }'; }
sleep 1.5
[ "$(geometry)" = 640x480 ] || fail "the window is $(geometry), not 640x480"
shot windowed
alt_enter() {
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool keydown alt keydown Return
  sleep 0.3
  xdotool keyup Return keyup alt
  sleep 1.5
}
alt_enter
[ "$(geometry)" = 1024x768 ] || fail "Alt+Enter gave a $(geometry) window, not the full screen"
shot full
sky=$(pixels count "$work/full.ppm" 400 0 1000 120 76D3E4 3)
[ "$sky" -gt 20000 ] || fail "no day sky in full screen after Alt+Enter ($sky pixels)"
alt_enter
[ "$(geometry)" = 640x480 ] || fail "the second Alt+Enter gave $(geometry), not 640x480"
shot windowed-again
[ "$(pixels differ "$work/windowed.ppm" "$work/windowed-again.ppm" 192 144 832 624 12)" -gt 0 ] ||
  fail "the game stood still through Alt+Enter"
quit_with_escape "the windowed game"
[ ! -s "$work/windowed.err" ] || fail "stderr in windowed mode: $(cat "$work/windowed.err")"
echo "linux end-to-end: all checks passed"

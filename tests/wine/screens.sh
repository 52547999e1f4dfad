#!/usr/bin/env bash
# screens.sh SIZE: the Windows program with the shipped settings on a screen of SIZE and no
# window manager. It fills the screen at its own size, the display keeps its shape and its
# edges; with the keyboard given away it draws nothing, and given back (a key pressed at it)
# it goes on: W walks and Escape ends it. A size the display cannot show is refused by name.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
size=$1

need xlogo
need_world
private_prefix
start_x "$size"
stage "$work/game"
start_game "$work/game"
window=$(wait_window Gloamfield 40) || { cat "$work/game.log" >&2; fail "no game window"; }
full() { [ "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')" = "$size" ]; }
until_true 20 full || fail "the window is not the whole $size screen"
drawn() { shot "$size"; at_least "$(fraction "$size" 0 0 400 50 $sky)" 0.5; }
until_true 40 drawn || fail "no day sky ($size.png)"
python3 "$wine_dir/../e2e/pixels.py" hud "$work/$size.ppm" || fail "the display is out of shape ($size.png)"
step "full screen at $size, the display in shape"

xlogo -geometry 120x120+10+400 >/dev/null 2>&1 &
other_pid=$!
other=$(wait_window xlogo 10) || fail "no other window"
timeout 5 xdotool windowfocus --sync "$window"
timeout 5 xdotool windowfocus --sync "$other"
shot away
away_idle away
timeout 5 xdotool windowfocus --sync "$window"
xdotool key w
until_true 10 clock_moved back away || fail "the game did not go on after the focus came back"
step "away: still; back: going on"
xdotool keydown w
sleep 1
xdotool keyup w
shot walked
[ "$(python3 "$wine_dir/../e2e/pixels.py" differ "$work/back.ppm" "$work/walked.ppm" 0 0 600 600 12)" -gt 2000 ] ||
  fail "W did not walk (walked.png)"
press Escape "$window"
wait_exit 15 || fail "Escape did not end the program"
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape, expected 0"
kill "$other_pid" 2>/dev/null || true
step "W walked, Escape: exit status 0"

if [ "$size" != 1024x768 ]; then
  printf 'XResolution=1024\r\nYResolution=768\r\n' >"$work/game/GameSettings.ini"
  WINEDEBUG=-all,+msgbox start_game "$work/game"
  expect_error_box "Failed to create Direct3D device: the display cannot show 1024 x 768 full screen. Set XResolution and YResolution in GameSettings.ini to a size it can show, or both to 0 for the desktop's own size."
fi

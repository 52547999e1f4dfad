#!/usr/bin/env bash
# Under a window manager, another window taking the focus pauses the Windows program: it
# draws nothing and its clock stands still (its Direct3D device lost meanwhile). Activated
# again, the device is reset, the game goes on, D moves the view and Escape ends it with
# status 0.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

need wmctrl openbox xlogo
need_world
private_prefix
start_x
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
stage "$work/game"
start_game "$work/game"
window=$(wait_window Gloamfield 40) || { cat "$work/game.log" >&2; fail "no game window"; }
drawn() { shot before; at_least "$(fraction before "$(grid 210)" 0 "$(grid 210)" "$(grid 60)" $sky)" 0.9; }
until_true 40 drawn || fail "no day sky before switching away (before.png)"
step "playing"

xlogo -geometry 120x120+890+640 >/dev/null 2>&1 &
other_pid=$!
other=$(wait_window xlogo 10) || fail "no other window to switch to"
xdotool windowactivate --sync "$other" 2>/dev/null || true
shot away
away_idle away
step "switched away: still"

xdotool windowactivate --sync "$window" 2>/dev/null || true
until_true 10 clock_moved back away || fail "the game did not go on after coming back (back.png)"
step "back: the device reset and the day going on"

press d "$window"
shot moved
[ "$(python3 "$wine_dir/../e2e/pixels.py" differ "$work/back.ppm" "$work/moved.ppm" 300 250 700 700 12)" -gt 2000 ] ||
  fail "D did not move the view after coming back (moved.png)"
press Escape "$window"
wait_exit 15 || fail "Escape did not end the program"
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape, expected 0"
kill "$other_pid" "$wm_pid" 2>/dev/null || true
step "D moved the view, Escape: exit status 0"

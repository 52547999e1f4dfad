#!/usr/bin/env bash
# Under a window manager, another window taking the focus takes the full screen from the
# Windows program: its window is minimised and its Direct3D device lost. Coming back, the
# device is reset, the game draws again and goes on, and Escape ends it with status 0.
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
for _ in $(seq 60); do
  shot before
  at_least "$(fraction before "$(grid 210)" 0 "$(grid 210)" "$(grid 60)" $sky)" 0.9 && break
  sleep 0.5
done
at_least "$(fraction before "$(grid 210)" 0 "$(grid 210)" "$(grid 60)" $sky)" 0.9 ||
  fail "no day sky before switching away (before.png)"
step "playing"

xlogo -geometry 120x120+890+640 >/dev/null 2>&1 &
other_pid=$!
sleep 1
other=$(xdotool search --name xlogo | head -n 1)
[ -n "$other" ] || fail "no other window to switch to"
xdotool windowactivate --sync "$other" 2>/dev/null || true
sleep 3
shot away
at_least "$(fraction away "$(grid 210)" 0 "$(grid 210)" "$(grid 60)" $sky)" 0.5 &&
  fail "the game still covers the screen after switching away (away.png)"
step "switched away: the full screen is given up"

xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool windowmap "$window" 2>/dev/null || true
back=0
for _ in $(seq 20); do
  sleep 0.5
  shot back
  at_least "$(fraction back "$(grid 210)" 0 "$(grid 210)" "$(grid 60)" $sky)" 0.9 && { back=1; break; }
done
[ "$back" = 1 ] || fail "no day sky after coming back: the device was not brought back (back.png)"
step "back: the device reset and the day drawn again"

press d "$window"
sleep 0.5
shot moved
[ "$(python3 "$wine_dir/../e2e/pixels.py" differ "$work/back.ppm" "$work/moved.ppm" 300 250 700 700 12)" -gt 2000 ] ||
  fail "D did not move the view after coming back (moved.png)"
press Escape "$window"
wait_exit 15 || fail "Escape did not end the program"
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape, expected 0"
kill "$other_pid" "$wm_pid" 2>/dev/null || true
step "D moved the view, Escape: exit status 0"

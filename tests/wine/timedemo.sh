#!/usr/bin/env bash
# timedemo.sh: the Windows program plays the shipped demo, recorded by the native program,
# through --timedemo as fast as it draws, to its recorded end: the same state at every
# step on both programs. It writes the figures to timedemo.txt in its folder (a window
# program has no console) and returns 0. A small window keeps the run short.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

[ -f "${SHIPPED_DEMO:-}" ] || fail "no shipped demo at '${SHIPPED_DEMO:-}'"
need_world
private_prefix
start_x
stage "$work/game"
cp "$SHIPPED_DEMO" "$work/game/first-day.demo"
printf 'MouseSensitivity=100\nXResolution=320\nYResolution=240\nWindowed=1\n' \
  >"$work/game/GameSettings.ini"
(cd "$work/game" && WINEDEBUG=-all,+msgbox exec wine Gloamfield.exe --timedemo first-day.demo \
  >"$work/game.log" 2>&1) &
game_pid=$!
wait_exit 240 || fail "the timedemo did not end: $(grep -a msgbox "$work/game.log" | tail -2)"
[ "$exit_status" = 0 ] || fail "exit status $exit_status after the timedemo"
tr -d '\r' <"$work/game/timedemo.txt" |
  grep -E '^timedemo first-day.demo: [0-9]{4} frames in [0-9.]+ s, [0-9.]+ frames a second, median [0-9.]+ ms, 99th percentile [0-9.]+ ms a frame$' ||
  fail "no figures in timedemo.txt: $(cat "$work/game/timedemo.txt" 2>&1)"
step "$(cat "$work/game/timedemo.txt")"

#!/usr/bin/env bash
# timedemo.sh: the Windows program plays a demo through --timedemo as fast as it draws,
# writes the figures to timedemo.txt in its folder (a window program has no console) and
# returns 0. The demo is recorded on the same world by the native demo recorder.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

[ -x "${DEMO_MAKER:-}" ] || fail "no demo recorder at '${DEMO_MAKER:-}' (build the linux preset)"
need_world
private_prefix
start_x
stage "$work/game"
(cd "$work/game" && "$DEMO_MAKER" short.demo 150 >"$work/maker.log") || fail "no demo recorded"
step "a demo of 150 frames recorded on the game's world"
(cd "$work/game" && exec wine Gloamfield.exe --timedemo short.demo >"$work/game.log" 2>&1) &
game_pid=$!
wait_exit 120 || fail "the timedemo did not end"
[ "$exit_status" = 0 ] || fail "exit status $exit_status after the timedemo"
tr -d '\r' <"$work/game/timedemo.txt" |
  grep -E '^timedemo short.demo: 1[0-9]{2} frames in [0-9.]+ s, [0-9.]+ frames a second, median [0-9.]+ ms, 99th percentile [0-9.]+ ms a frame$' ||
  fail "no figures in timedemo.txt: $(cat "$work/game/timedemo.txt" 2>&1)"
step "$(cat "$work/game/timedemo.txt")"

#!/usr/bin/env bash
# The native game against spoiled world files, run as a player would start it:
#   hostile-files.sh GAME_BINARY BUILD_DIR
# Each case shows its error box within five seconds, naming the right file, and the game
# ends with status 0 once the box is closed with Return, or at once when a signal comes
# while the box waits, box and all (killed by it: status 128 + its number).
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1

for row in "fifo-heightmap Return 0" "zero-settings Return 0" "one-house-too-many Return 0" \
           "model-47-bytes Return 0" "absurd-heights TERM 143" "huge-resolution INT 130"; do
  read -r case closer expected_status <<<"$row"
  echo "-- $case, closed by $closer"
  dir="$work/$case"
  mkdir "$dir"
  cp -r "$build/Data" "$build/GameSettings.ini" "$dir/"
  expected=$(python3 "$e2e_dir/hostile.py" "$dir" "$case")
  started=$(date +%s.%N)
  # SIGINT as from a terminal: a script's background job would be started ignoring it.
  (cd "$dir" && exec env --default-signal=INT "$game") >"$dir.out" 2>"$dir.err" &
  game_pid=$!
  for _ in $(seq 50); do
    grep -qF "Gloamfield: " "$dir.err" && break
    sleep 0.1
  done
  seconds=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  grep -qF "Gloamfield: $expected" "$dir.err" ||
    fail "$case: after ${seconds} s stderr says '$(head -c 300 "$dir.err")', not '$expected'"
  echo "   '$expected' after ${seconds} s"
  box=$(wait_window Gloamfield 5) || fail "$case: no error box"
  if [ "$closer" = Return ]; then
    xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
  else
    kill -"$closer" "$game_pid"
  fi
  wait_exit "$game_pid" 5 || fail "$case: the game did not end after its box ($closer)"
  status=$exit_status
  game_pid=""
  [ "$status" = "$expected_status" ] || fail "$case: exit status $status, not $expected_status"
  box_gone() { ! xwininfo -id "$box" >/dev/null 2>&1; }
  wait_for 5 box_gone || fail "$case: the box outlived the game ($closer)"
done
echo "hostile files: all checks passed"

#!/usr/bin/env bash
# The native game against spoiled world files, run as a player would start it:
#   hostile-files.sh GAME_BINARY BUILD_DIR
# Each case shows its error box within five seconds, naming the right file, and the game
# ends with status 0 once the box is closed.
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1

for case in fifo-heightmap zero-settings one-house-too-many model-47-bytes \
            absurd-heights huge-resolution; do
  echo "-- $case"
  dir="$work/$case"
  mkdir "$dir"
  cp -r "$build/Data" "$build/GameSettings.ini" "$dir/"
  expected=$(python3 "$e2e_dir/hostile.py" "$dir" "$case")
  started=$(date +%s.%N)
  (cd "$dir" && exec "$game") >"$dir.out" 2>"$dir.err" &
  game_pid=$!
  for _ in $(seq 50); do
    grep -qF "Gloamfield: " "$dir.err" && break
    sleep 0.1
  done
  seconds=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  grep -qF "Gloamfield: $expected" "$dir.err" ||
    fail "$case: after ${seconds} s stderr says '$(head -c 300 "$dir.err")', not '$expected'"
  echo "   '$expected' after ${seconds} s"
  # Close the box; the game then ends.
  box=$(wait_window Gloamfield 5) || fail "$case: no error box"
  xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
  wait_exit "$game_pid" 10 || fail "$case: the game did not end after its box"
  status=$exit_status
  game_pid=""
  [ "$status" = 0 ] || fail "$case: exit status $status"
done
echo "hostile files: all checks passed"

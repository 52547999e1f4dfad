#!/usr/bin/env bash
# hostile-files.sh: the Windows program refuses what is not a file on disk (a named pipe,
# a link to /dev/zero) and a map whose counts do not make its size, each with a box naming
# the file, and returns 0.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

need_world
private_prefix
start_x
for case in zero-settings fifo-heightmap one-house-too-many; do
  rm -rf "$work/game"
  stage "$work/game"
  expected=$(python3 "$wine_dir/../e2e/hostile.py" "$work/game" "$case")
  step "$case: game folder ready"
  WINEDEBUG=-all,+msgbox start_game "$work/game"
  expect_error_box "$expected"
done

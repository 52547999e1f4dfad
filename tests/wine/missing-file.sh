#!/usr/bin/env bash
# missing-file.sh PATH: with PATH (relative to the game folder) gone, the game shows
# "File not found: '<PATH with backslashes>'" in a box captioned Gloamfield and returns 1.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

missing=$1
need_world
private_prefix
start_x
stage "$work/game"
rm "$work/game/$missing"
step "prefix, display and game folder without $missing ready"
WINEDEBUG=-all,+msgbox start_game "$work/game"
expect_error_box "File not found: '${missing//\//\\}'"

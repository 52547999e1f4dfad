#!/usr/bin/env bash
# The program starts full-screen, its first frames show the day sky with the HUD, and
# Escape ends it with status 0.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

need_world
private_prefix
start_x
stage "$work/game"
step "prefix, display and game folder ready"
play_and_quit "$work/game"

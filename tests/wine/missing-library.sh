#!/usr/bin/env bash
# missing-library.sh DLL TEXT: with Wine's DLL switched off, the program still starts
# (it loads the library itself, it does not import it) and reports TEXT in its error box.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

dll=$1
text=$2
need_world
private_prefix
start_x
stage "$work/game"
step "prefix, display and game folder ready; $dll.dll switched off"
WINEDLLOVERRIDES="mscoree,mshtml,$dll=" WINEDEBUG=-all,+msgbox start_game "$work/game"
expect_error_box "$text"

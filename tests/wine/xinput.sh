#!/usr/bin/env bash
# The program loads XInput for a gamepad where the system has it (Wine's xinput1_4.dll)
# and plays just the same where no XInput DLL can be had: no gamepad is no error.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

need_world
private_prefix
start_x
stage "$work/game"
step "prefix, display and game folder ready"
WINEDEBUG=-all,+loaddll play_and_quit "$work/game"
grep -qiE 'Loaded .*xinput1_4\.dll' "$work/game.log" || fail "xinput1_4.dll was not loaded"
step "with XInput: $(grep -iE -m1 'Loaded .*xinput' "$work/game.log")"
WINEDLLOVERRIDES="mscoree,mshtml,xinput1_4,xinput9_1_0=" WINEDEBUG=-all,+loaddll \
  play_and_quit "$work/game"
! grep -qiE 'Loaded .*xinput' "$work/game.log" || fail "an XInput DLL was loaded though switched off"
step "without any XInput DLL: the same game"

#!/usr/bin/env bash
# The native game played with a gamepad on a virtual display: SDL's virtual joystick,
# plugged in, driven and pulled out during play by a preloaded test module, fells a tree,
# walks, steps in at a doorway, nails a board, looks round and quits; the demo recorded
# meanwhile plays back to the same end without a pad.
#   gamepad.sh GAME_BINARY PAD_MODULE BUILD_DIR
set -euo pipefail
game=$1
module=$2
build=$3
source "$(dirname "$0")/lib.sh"
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1

# The shipped pictures on flat ground with one house; a tree straight ahead of the start,
# one to stop the walk in line with the house's front doorway and one inside to stop the
# step in where the doorway is boarded.
mkdir "$work/play"
cp -r "$build/Data" "$work/play/"
python3 - "$work/play/Data" <<'EOF'
import struct, sys
open(sys.argv[1] + "/hmap.dat", "wb").write(struct.pack("<16384i", *[0] * 16384))
ints = [1, 24 + 32, 12 + 56, 3, 9, 5, 60, 5, 56, 24]
open(sys.argv[1] + "/map.dat", "wb").write(struct.pack("<%di" % len(ints), *ints))
EOF
printf 'XResolution=1024\nYResolution=768\n' >"$work/play/GameSettings.ini"

script=$work/pad-script
: >"$script"
# pad LINE: a line for the pad module, waited for until carried out.
pad() {
  echo "$*" >>"$script"
  taken() { [ "$(cat "$script.done" 2>/dev/null | wc -l)" -ge "$(wc -l <"$script")" ]; }
  wait_for 5 taken || fail "the pad module did not take '$*'"
  ! grep -q FAILED "$script.done" || fail "the pad module failed: $(grep FAILED "$script.done")"
}
# hold_pad AXIS VALUE SECONDS [REST]: a stick or trigger held, then let go.
hold_pad() {
  pad axis "$1" "$2"
  sleep "$3"
  pad axis "$1" "${4:-0}"
}
# until_shot NAME CHECK...: screenshots for up to 5 s until the check holds.
until_shot() {
  local name=$1
  shift
  shot_holds() {
    shot "$name"
    "$@"
  }
  wait_for 5 shot_holds "$@"
}
view_changed() { [ "$(pixels differ "$work/$1.ppm" "$work/$2.ppm" 300 250 700 700 12)" -gt 2000 ]; }
drawn() { [ "$(pixels count "$work/start.ppm" 0 0 1024 768 000000 8)" -lt 1000 ]; }

(cd "$work/play" && LD_PRELOAD="$module" GLOAMFIELD_PAD_SCRIPT="$script" exec "$game" \
  --record "$work/pad.demo") >"$work/play.out" 2>"$work/play.err" &
game_pid=$!
window=$(wait_window Gloamfield 20) || fail "no game window"
xdotool windowfocus --sync "$window" 2>/dev/null || true
until_shot start drawn || fail "no frame drawn (start.png)"

echo "-- a pad plugged in during play; the right trigger fells the tree ahead"
pad plug # taken when the game next looks for pads, at most a second on
hold_pad righttrigger 32767 0.3 -32768
until_shot felled view_changed start felled || fail "the tree ahead still stands (felled.png)"

echo "-- the left stick walks to the stopping tree and steps in at the doorway"
hold_pad lefty -32768 1.5
until_shot walked view_changed felled walked || fail "the view did not change on walking"
hold_pad leftx 32767 1
until_shot inside view_changed walked inside || fail "the view did not change on stepping in"

echo "-- A nails a board across the doorway: the wood count goes down"
pad button a 1
sleep 0.3
pad button a 0
until_shot nailed eval '[ "$(pixels differ "$work/inside.ppm" "$work/nailed.ppm" 152 160 203 203 12)" -gt 20 ]' ||
  fail "the wood count did not change (nailed.png)"

echo "-- the right stick looks round"
hold_pad rightx 32767 0.5
until_shot looked view_changed nailed looked || fail "the right stick did not turn the view"

echo "-- pulled out and plugged in again during play: no error, and the pad goes on"
pad unplug
shot unplugged-0
# The clock goes on with the pad gone: the game runs on.
wait_for 5 clock_moved unplugged || fail "the game stood still or ended when the pad was pulled out"
kill -0 "$game_pid" || fail "the game ended when the pad was pulled out"
cp "$work/unplugged-1.ppm" "$work/unplugged.ppm"
pad plug
hold_pad rightx -32768 0.5
until_shot replugged view_changed unplugged replugged || fail "the pad plugged in again did not turn the view"

echo "-- Back quits as Escape does"
pad button back 1
wait_exit "$game_pid" 15 || fail "Back did not end the game"
game_pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Back"
[ ! -s "$work/play.err" ] || fail "stderr: $(cat "$work/play.err")"

echo "-- the demo of the pad's game plays to the same end, without a pad"
(cd "$work/play" && timeout 60 "$game" --timedemo "$work/pad.demo") >"$work/demo.out" 2>"$work/demo.err" ||
  fail "the demo did not play: $(cat "$work/demo.err")"
grep -q "^timedemo .*: [0-9]* frames" "$work/demo.out" || fail "no figures: $(cat "$work/demo.out")"
[ ! -s "$work/demo.err" ] || fail "stderr of the demo: $(cat "$work/demo.err")"
echo "gamepad end-to-end: all checks passed"

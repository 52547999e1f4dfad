#!/usr/bin/env bash
# The native game against spoiled files, demos that are no demos, demos that cannot be
# written and settings from other editors, run as a player would start it:
#   hostile-files.sh GAME_BINARY BUILD_DIR
# Each refusal shows its error box within five seconds, naming the right file, and the game
# ends with status 1 once the box is closed, or at once when a signal comes while the box
# waits, box and all (killed by it: status 128 + its number); a game played to its end ends
# with 0.
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
shipped=$e2e_dir/../../demos/first-day.demo
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1

seconds_since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# folder NAME: a game folder of its own with the world.
folder() {
  mkdir "$work/$1"
  cp -r "$build/Data" "$build/GameSettings.ini" "$work/$1/"
  echo "$work/$1"
}

# run NAME DIR ARGS...: the game started in DIR; its output in NAME.out and NAME.err.
run() {
  local name=$1 dir=$2
  shift 2
  out=$work/$name
  started=$(date +%s.%N)
  # SIGINT as from a terminal: a script's background job would be started ignoring it.
  (cd "$dir" && exec env --default-signal=INT "$game" "$@") >"$out.out" 2>"$out.err" &
  game_pid=$!
}

# expect_box TEXT SECONDS [MEGABYTES [CLOSER STATUS]]: within SECONDS of the start the game
# says TEXT in its box (and on stderr), at most MEGABYTES in memory at its peak; closed with
# Return it ends with 1; a signal (TERM, INT) ends it at once, box and all, with STATUS.
expect_box() {
  local text=$1 seconds=$2 megabytes=${3:-} closer=${4:-Return} expected_status=${5:-1}
  said() { grep -qF "Gloamfield: " "$out.err"; }
  wait_for "$seconds" said || true
  local took
  took=$(seconds_since "$started")
  grep -qF "Gloamfield: $text" "$out.err" ||
    fail "after ${took} s stderr says '$(head -c 300 "$out.err")', not '$text'"
  local peak
  peak=$(awk '/VmHWM/ { print int($2 / 1024) }' "/proc/$game_pid/status")
  [ -z "$megabytes" ] || [ "$peak" -le "$megabytes" ] ||
    fail "'$text' after ${took} s, but $peak MB at the peak"
  local box
  box=$(wait_window Gloamfield 5) || fail "no error box for '$text'"
  shot "$(basename "$out")"
  if [ "$closer" = Return ]; then
    xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
  else
    kill -"$closer" "$game_pid"
  fi
  wait_exit "$game_pid" 10 || fail "the game did not end after its box ('$text', $closer)"
  game_pid=""
  [ "$exit_status" = "$expected_status" ] ||
    fail "exit status $exit_status after the box '$text' ($closer), not $expected_status"
  box_gone() { ! xwininfo -id "$box" >/dev/null 2>&1; }
  wait_for 5 box_gone || fail "the box '$text' outlived the game ($closer)"
  echo "   '$text' after ${took} s (peak $peak MB), $closer: status $expected_status"
}

# wait_for_window SECONDS: the game's window is up.
wait_for_window() {
  window=$(wait_window Gloamfield "$1") || fail "no game window: $(head -c 300 "$out.err")"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# wait_size FILE BYTES: FILE grows past BYTES within ten seconds.
wait_size() {
  grown() { [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt "$2" ]; }
  wait_for 10 grown "$1" "$2" || fail "$1 did not grow past $2 bytes"
}

for row in "fifo-heightmap Return 1" "zero-settings Return 1" "one-house-too-many Return 1" \
           "model-47-bytes Return 1" "absurd-heights TERM 143" "huge-resolution INT 130" \
           "update-rate Return 1"; do
  read -r case closer status <<<"$row"
  echo "-- $case, closed by $closer"
  dir=$(folder "$case")
  expected=$(python3 "$e2e_dir/hostile.py" "$dir" "$case")
  run "$case" "$dir"
  expect_box "$expected" 5 "" "$closer" "$status"
done

echo "-- demos that are no demos: refused by name before any window, in little memory"
dir=$(folder demos)
mkfifo "$dir/fifo.demo"
truncate -s 65M "$dir/huge.demo"
run fifo-demo "$dir" --playdemo fifo.demo
expect_box "File not found: 'fifo.demo'" 5 100
run zero-demo "$dir" --playdemo /dev/zero
expect_box "File not found: '/dev/zero'" 5 100
run huge-demo "$dir" --playdemo huge.demo
expect_box "huge.demo: 68157440 bytes, more than any demo holds (64 MB at most)" 5 100
run device-record "$dir" --record /dev/full
expect_box "Cannot write the demo '/dev/full': it is not a file" 5
[ -c /dev/full ] || fail "/dev/full is no longer a device"

echo "-- a mistaken command line: the usage on stderr, status 2"
run usage "$dir" --record
wait_exit "$game_pid" 5 || fail "a mistaken command line did not end the program"
game_pid=""
[ "$exit_status" = 2 ] || fail "exit status $exit_status for a mistaken command line"
grep -qF "Gloamfield: --record needs a file" "$out.err" || fail "no word of the mistake: $(cat "$out.err")"

echo "-- the disk full during a recording (the file size limit standing in for it)"
out=$work/disk-full
started=$(date +%s.%N)
(cd "$dir" && ulimit -f 1 && trap '' XFSZ && exec "$game" --record full.demo) >"$out.out" 2>"$out.err" &
game_pid=$!
expect_box "Cannot write the demo 'full.demo': File too large" 30
[ ! -e "$dir/full.demo" ] && [ ! -e "$dir/full.demo.recording" ] || fail "a part of the demo was left"

echo "-- the demo's folder removed during play: told within seconds"
mkdir "$dir/sub"
run folder-gone "$dir" --record sub/night.demo
wait_for_window 20
rm -rf "$dir/sub"
started=$(date +%s.%N)
expect_box "Cannot write the demo 'sub/night.demo': No such file or directory" 5

echo "-- killed while recording over an old demo: the old demo stays whole"
name='a"b.demo'
cp "$shipped" "$dir/$name"
run killed "$dir" --record "$name"
wait_for_window 20
wait_size "$dir/$name.recording" 200
kill -9 "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
cmp -s "$shipped" "$dir/$name" || fail "the old demo changed when the recording was killed"
echo "   '$name' as it was after kill -9"

echo "-- recorded to its end over it: the demo named exactly so, played back to its end"
rm "$dir/$name.recording" # what the killed one left: the new one is waited for
run recorded "$dir" --record "$name"
wait_for_window 20
hold w 1
wait_size "$dir/$name.recording" 200
quit_with_escape "the recording"
[ -s "$dir/$name" ] && ! cmp -s "$shipped" "$dir/$name" || fail "'$name' was not written anew"
[ ! -e "$dir/ab.demo" ] && [ ! -e "$dir/$name.recording" ] || fail "other files beside '$name': $(ls "$dir")"
printf 'XResolution=320\nYResolution=240\nWindowed=1\n' >"$dir/GameSettings.ini"
run played "$dir" --timedemo "$name"
wait_exit "$game_pid" 60 || fail "the new demo did not play to its end"
game_pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after playing the new demo: $(cat "$out.err")"
grep -qF "timedemo $name: " "$out.out" || fail "no figures: $(cat "$out.out")"
echo "   $(cat "$out.out")"

echo "-- settings saved with a byte-order mark and CR line ends: every key read"
dir=$(folder editors)
printf '\xEF\xBB\xBFWindowed=1\rXResolution=640\rYResolution=480\r' >"$dir/GameSettings.ini"
XDG_PICTURES_DIR=/proc/none run editors "$dir"
wait_for_window 20
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
[ "$geometry" = 640x480 ] || fail "the window is $geometry, not the 640x480 the settings ask"
shot editors
echo "   a window of $geometry"
echo "-- a screenshot with nowhere to go says so"
rm -rf "$dir"
hold 4 0.3 # no pictures folder can be made, and the game's own folder is gone
unsaved() { grep -qF "no screenshot saved" "$out.err"; }
wait_for 5 unsaved || true
grep -qF "Gloamfield: no screenshot saved (" "$out.err" || fail "the screenshot went unsaid: $(cat "$out.err")"
echo "   $(cat "$out.err")"
quit_with_escape "the game"
echo "hostile files: all checks passed"

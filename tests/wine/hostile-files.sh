#!/usr/bin/env bash
# hostile-files.sh files|demos: the Windows program against what a careless player gives it,
# each refusal a box naming the file, then status 1.
#   files: what is not a file on disk (a named pipe, a link to /dev/zero), a map whose counts
#          do not make its size, an UpdateRate out of range; and settings saved with a
#          byte-order mark and CR line ends, every key of which is read.
#   demos: demos that are no demos (a pipe, /dev/zero, too large), a read-only demo not
#          recorded over, a mistaken command line (a box, then 2), a demo whose folder goes
#          or whose disk fills during play, a recording killed over an old demo (which stays
#          whole), and one under a name outside the ANSI code page, written and played back
#          to its end.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

need_world
private_prefix
start_x

# Wine reads the Unix arguments in the locale's character set.
export LC_ALL=C.UTF-8

# game ARGS...: the program started in the game folder with ARGS, boxes traced.
game() {
  : >"$work/game.log" # emptied before the start: no box of the run before is seen
  (cd "$work/game" && WINEDEBUG=-all,+msgbox exec wine Gloamfield.exe "$@" >"$work/game.log" 2>&1) &
  game_pid=$!
  started=$(date +%s.%N)
}

# box_within SECONDS: a box opens within SECONDS of $started; its time in $took.
box_within() {
  until_true "$1" grep -qF MSGBOX_OnInit "$work/game.log" 2>/dev/null || true
  took=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  grep -qF MSGBOX_OnInit "$work/game.log" || fail "no box within $1 s"
}

if [ "${1:-files}" = files ]; then
  for case in zero-settings fifo-heightmap one-house-too-many update-rate; do
    rm -rf "$work/game"
    stage "$work/game"
    expected=$(python3 "$wine_dir/../e2e/hostile.py" "$work/game" "$case")
    step "$case: game folder ready"
    game
    expect_error_box "$expected"
  done

  rm -rf "$work/game"
  stage "$work/game"
  printf '\xEF\xBB\xBFWindowed=1\rXResolution=320\rYResolution=240\r' >"$work/game/GameSettings.ini"
  game
  window=$(wait_window Gloamfield 30) || { cat "$work/game.log" >&2; fail "no game window"; }
  sky_drawn() {
    shot editors
    at_least "$(fraction editors 0 0 1024 768 $sky)" 0.01
  }
  until_true 30 sky_drawn || fail "no day sky drawn (editors.png)"
  geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
  [ "$geometry" = 320x240 ] || fail "a window of $geometry for settings asking 320x240 in a window"
  step "byte-order mark and CR line ends: the day in a window of $geometry"
  press Escape "$window"
  wait_exit 15 || fail "Escape did not end the program"
  [ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape"
  exit 0
fi

stage "$work/game"
mkfifo "$work/game/fifo.demo"
truncate -s 65M "$work/game/huge.demo"
step "demos: game folder ready"
# refused DEMO TEXT: --playdemo DEMO is refused with TEXT within five seconds, the
# program never above 100 MB.
refused() {
  game --playdemo "$1"
  box_within 5
  local peak
  peak=$(awk '/VmHWM/ { print int($2 / 1024) }' "/proc/$game_pid/status" 2>/dev/null || echo 0)
  [ "$peak" -le 100 ] || fail "$peak MB at the peak for --playdemo $1"
  expect_error_box "$2"
  step "--playdemo $1: the box after $took s, peak $peak MB"
}
refused fifo.demo "File not found: 'fifo.demo'"
refused 'Z:\dev\zero' "File not found: 'Z:\dev\zero'"
refused huge.demo "huge.demo: 68157440 bytes, more than any demo holds (64 MB at most)"

# A name outside the ANSI code page reaches the file and the box whole (Wine's trace writes
# the letters as their code points).
game --playdemo 'ночь 2.demo'
box_within 5
grep -aF MSGBOX_OnInit "$work/game.log" | grep -qF "L\"File not found: '\\043d\\043e\\0447\\044c 2.demo'\"" ||
  fail "the box does not name 'ночь 2.demo': $(grep -a MSGBOX_OnInit "$work/game.log")"
expect_error_box "File not found: '"

touch "$work/game/kept.demo"
chmod 444 "$work/game/kept.demo"
game --record kept.demo
box_within 10
expect_error_box "Cannot write the demo 'kept.demo': it is read-only"

game --nonsense
expect_error_box "Gloamfield: unknown option '--nonsense'" 2

mkdir "$work/game/sub"
game --record 'sub\night.demo'
window=$(wait_window Gloamfield 30) || { cat "$work/game.log" >&2; fail "no game window"; }
rm -rf "$work/game/sub"
step "the demo's folder removed during play"
started=$(date +%s.%N)
box_within 5
expect_error_box "Cannot write the demo 'sub\\night.demo': "
step "told $took s after the folder went: $(grep -a -o 'L"Cannot[^"]*"' "$work/game.log" | tail -n 1)"

# The disk full during a recording, the file size limit standing in for it.
: >"$work/game.log"
(cd "$work/game" && ulimit -f 1 && trap '' XFSZ &&
  WINEDEBUG=-all,+msgbox exec wine Gloamfield.exe --record full.demo >"$work/game.log" 2>&1) &
game_pid=$!
started=$(date +%s.%N)
box_within 60
expect_error_box "Cannot write the demo 'full.demo': "
[ ! -e "$work/game/full.demo" ] && [ ! -e "$work/game/full.demo.recording" ] ||
  fail "a part of the demo was left: $(ls "$work/game")"
step "the disk full after $took s: $(grep -a -o 'L"Cannot[^"]*"' "$work/game.log" | tail -n 1)"

name='ночь 1.demo'
cp "$SHIPPED_DEMO" "$work/game/$name"
game --record "$name"
window=$(wait_window Gloamfield 30) || { cat "$work/game.log" >&2; fail "no game window"; }
recording_grown() { [ "$(stat -c %s "$work/game/$name.recording" 2>/dev/null || echo 0)" -gt 200 ]; }
until_true 10 recording_grown || fail "no recording beside '$name': $(ls "$work/game")"
kill -9 "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
cmp -s "$SHIPPED_DEMO" "$work/game/$name" || fail "the old demo changed when the recording was killed"
step "killed while recording over '$name': the old demo is whole"

rm "$work/game/$name.recording" # what the killed one left: the new one is waited for
game --record "$name"
window=$(wait_window Gloamfield 30) || { cat "$work/game.log" >&2; fail "no game window"; }
until_true 10 recording_grown || fail "no recording beside '$name': $(ls "$work/game")"
press Escape "$window"
wait_exit 15 || fail "Escape did not end the recording"
[ "$exit_status" = 0 ] || fail "exit status $exit_status after the recording"
! cmp -s "$SHIPPED_DEMO" "$work/game/$name" && [ ! -e "$work/game/$name.recording" ] ||
  fail "'$name' was not written anew: $(ls -l "$work/game")"
printf 'XResolution=320\nYResolution=240\nWindowed=1\n' >"$work/game/GameSettings.ini"
game --timedemo "$name"
wait_exit 60 || fail "the new demo did not play to its end"
[ "$exit_status" = 0 ] || fail "exit status $exit_status after playing '$name': $(grep -a msgbox "$work/game.log" | tail -2)"
step "$(tr -d '\r' <"$work/game/timedemo.txt")"

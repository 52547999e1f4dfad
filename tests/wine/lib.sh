# shellcheck shell=bash
# Shared by the Wine end-to-end scripts: a private X server, a private Wine prefix copied
# from the one booted for this test run, screenshots, keys, waiting. Sourced; the caller
# runs with `set -euo pipefail` and sets WINE_TEMPLATE (the booted prefix).

wine_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/gloamfield-wine-XXXXXX)
xvfb_pid=""
game_pid=""
t_start=$(date +%s.%N)

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts; everything else is Wine's own.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

step() { m="$*" awk -v a="$t_start" -v b="$(date +%s.%N)" 'BEGIN { printf "[%6.1fs] %s\n", b - a, ENVIRON["m"] }'; }

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cleanup() {
  local status=$?
  if [ -n "$game_pid" ]; then kill "$game_pid" 2>/dev/null || true; fi
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    timeout 10 wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  if [ $status -eq 0 ] && [ -z "${KEEP_WINE_WORK:-}" ]; then
    rm -rf "$work"
  else
    echo "screenshots and logs kept in $work"
  fi
}
trap cleanup EXIT

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh installs it)"
  done
}
need wine wineserver Xvfb xdotool xwd convert python3

# A prefix of our own, so that no test sees another's registry or wineserver.
private_prefix() {
  [ -d "${WINE_TEMPLATE:-}/drive_c" ] || fail "no booted Wine prefix at '${WINE_TEMPLATE:-}'"
  export WINEPREFIX="$work/prefix"
  cp -a "$WINE_TEMPLATE" "$WINEPREFIX"
}

# until_true SECONDS COMMAND...: runs the command every tenth of a second until it succeeds.
until_true() {
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# start_x [SIZE]: Xvfb on a display it picks itself, DISPLAY exported. The screen is 1024 x 768
# unless SIZE says otherwise: the game's default resolution, which the grid checks assume.
start_x() {
  rm -f "$work/display" # a second server must not find the first one's number
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  until_true 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$work/display")"
  until_true 10 eval 'xdotool getdisplaygeometry >/dev/null 2>&1' || fail "Xvfb does not answer"
}


# clock_moved NAME BEFORE: a screenshot NAME whose clock differs from screenshot BEFORE's.
clock_moved() {
  shot "$1"
  [ "$(python3 "$wine_dir/../e2e/pixels.py" differ "$work/$2.ppm" "$work/$1.ppm" 0 0 300 100 12)" -gt 0 ]
}

# away_idle NAME: while away the game's share of a core over three seconds, from top, is under
# 5 %, and its clock stands still (screenshot NAME taken before).
away_idle() {
  local pid="" p cpu
  # The program itself (not Wine's starter), in this test's prefix: other tests run it too.
  for p in $(pgrep -f 'Gloamfield\.exe'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && pid=$p
  done
  [ -n "$pid" ] || fail "no Gloamfield.exe process in $WINEPREFIX"
  cpu=$(top -b -n 2 -d 3 -p "$pid" | awk 'END { print $9 }')
  step "away: $cpu % of a core"
  awk -v c="$cpu" 'BEGIN { exit !(c < 5) }' || fail "$cpu % of a core while away"
  clock_moved "$1-later" "$1" && fail "the clock moved while away ($1-later.png)"
  return 0
}

# start_game DIR: runs Gloamfield.exe in DIR (its current directory), output in game.log.
start_game() {
  (cd "$1" && exec wine Gloamfield.exe >"$work/game.log" 2>&1) &
  game_pid=$!
}

# wait_window NAME SECONDS: prints the id of the first visible window titled NAME.
wait_window() {
  local name=$1 id=""
  # False at once when the game has ended, so that the wait ends with it.
  shown() {
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] || ! kill -0 "$game_pid" 2>/dev/null
  }
  until_true "$2" shown && [ -n "$id" ] || return 1
  echo "$id"
}

# wait_exit SECONDS: waits for the game to end and sets exit_status. Not in a $(...):
# only this shell can wait for the game.
wait_exit() {
  exit_status=""
  until_true "$1" eval '! kill -0 "$game_pid" 2>/dev/null' || return 1
  exit_status=0
  wait "$game_pid" || exit_status=$?
  game_pid=""
}

# shot NAME: a screenshot of the whole screen, NAME.ppm for the checks and NAME.png for
# people.
shot() {
  xwd -root -silent | convert xwd:- "$work/$1.ppm"
  convert "$work/$1.ppm" "$work/$1.png"
}

# fraction NAME X Y W H RRGGBB: the share (0 to 1) of the pixels of the rectangle of
# screenshot NAME that have the colour.
fraction() { python3 "$wine_dir/share.py" "$work/$1.ppm" "$2" "$3" "$4" "$5" "$6"; }

# at_least VALUE LIMIT: true when VALUE >= LIMIT.
at_least() { awk -v v="$1" -v l="$2" 'BEGIN { exit !(v + 0 >= l + 0) }'; }

# press KEY WINDOW: focus the window and hold the key long enough for DirectInput,
# which polls once a frame, to see it.
press() {
  timeout 5 xdotool windowfocus --sync "$2" 2>/dev/null || true
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
}

# stage DIR: the program, its settings and its world in a folder of their own.
stage() {
  mkdir -p "$1"
  cp "$GAME_EXE" "$1/Gloamfield.exe"
  cp "$GAME_DATA/GameSettings.ini" "$1/"
  mkdir -p "$1/Data"
  cp "$GAME_DATA"/Data/* "$1/Data/"
}

# expect_error_box TEXT [STATUS]: the game shows one error box whose text begins with TEXT,
# captioned "Gloamfield", closes it with Return and ends with STATUS (1: the game failed).
# Needs WINEDEBUG with +msgbox, which writes the box's text to game.log as it opens.
expect_error_box() {
  local text=$1 status=${2:-1} escaped
  # Wine's trace doubles backslashes.
  escaped=${text//\\/\\\\}
  box_or_end() { grep -qF "MSGBOX_OnInit" "$work/game.log" 2>/dev/null || ! kill -0 "$game_pid" 2>/dev/null; }
  until_true 30 box_or_end
  grep -qF "MSGBOX_OnInit" "$work/game.log" 2>/dev/null || { cat "$work/game.log" >&2; fail "no message box opened"; }
  grep -F "MSGBOX_OnInit" "$work/game.log" | grep -qF "L\"$escaped" \
    || { grep -F MSGBOX "$work/game.log" >&2; fail "the box does not say \"$text\""; }
  step "the box says \"$text\""

  # The game shuts down before it reports, so its own window is gone by now and the
  # only window titled Gloamfield is the box.
  local box
  box=$(wait_window Gloamfield 10) || fail "no window captioned Gloamfield"
  local windows
  windows=$(xdotool search --onlyvisible --name '^Gloamfield$' 2>/dev/null | wc -l)
  [ "$windows" = 1 ] || fail "$windows windows titled Gloamfield beside the box: the game window outlived it"
  local geometry
  geometry=$(xdotool getwindowgeometry "$box" | awk '/Geometry/ { print $2 }')
  [ "${geometry%x*}" -lt 1024 ] || fail "the window captioned Gloamfield is $geometry, not a box"
  # The box is drawn: some of the screen is no longer black.
  box_drawn() {
    shot box
    at_least "$(awk -v f="$(fraction box 0 0 1024 768 000000)" 'BEGIN { print 1 - f }')" 0.01
  }
  until_true 10 box_drawn || fail "the box is not on the screen (box.png)"
  step "captioned \"$(xdotool getwindowname "$box")\", $geometry, on the screen"

  timeout 5 xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
  wait_exit 15 || fail "the program did not end after the box was closed"
  [ "$exit_status" = "$status" ] || fail "exit status $exit_status after the box, expected $status"
  step "box closed, exit status $status"
}

# The HUD and the sky at the start of a day, on the 640 x 480 grid that the game places
# its images on, scaled here to the 1024 x 768 screen (x 1.6).
sky=76D3E4
grid() { awk -v v="$1" 'BEGIN { printf "%d", v * 1.6 }'; }

# has_glyphs NAME X Y W H: the grid rectangle holds HUD pixels (not sky).
has_glyphs() {
  local f
  f=$(fraction "$1" "$(grid "$2")" "$(grid "$3")" "$(grid "$4")" "$(grid "$5")" $sky)
  at_least "$(awk -v f="$f" 'BEGIN { print 1 - f }')" 0.05
}

# all_sky NAME X Y W H: the grid rectangle is sky throughout.
all_sky() {
  local f
  f=$(fraction "$1" "$(grid "$2")" "$(grid "$3")" "$(grid "$4")" "$(grid "$5")" $sky)
  at_least "$f" 0.999
}

# play_and_quit DIR: starts the game in DIR; it goes full-screen, draws the day sky with
# the HUD, and Escape ends it with status 0.
play_and_quit() {
  start_game "$1"
  local window
  window=$(wait_window Gloamfield 30) || { cat "$work/game.log" >&2; fail "no window titled Gloamfield"; }
  step "window $window is up"

  # The first frames: sky above the horizon, between the HUD and the axe.
  local f=0 n=0
  first_frame() {
    n=$((n + 1))
    shot frame
    f=$(fraction frame "$(grid 210)" 0 "$(grid 210)" "$(grid 60)" $sky)
    at_least "$f" 0.9 && return 0
    kill -0 "$game_pid" 2>/dev/null || { cat "$work/game.log" >&2; fail "the game ended before its first frame"; }
    return 1
  }
  until_true 30 first_frame || fail "no day sky #$sky in the upper screen (frame.png: $f of it)"
  step "day sky #$sky in the upper screen ($f of it) after $n screenshots"

  local geometry
  geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
  [ "$geometry" = 1024x768 ] || fail "the window is $geometry, not full-screen 1024x768"
  step "full-screen: the window is $geometry"

  # Clock icon and wood icon; the clock from (95, 24) reads 6:00 to 9:50 in the first 24
  # seconds, four glyphs ending before x = 204; the wood count "0" from (95, 100) is one
  # 32-pixel glyph. Nothing follows either.
  has_glyphs frame 15 9 63 63 || fail "no clock icon at (15, 9) (frame.png)"
  has_glyphs frame 7 85 72 68 || fail "no wood icon at (7, 85) (frame.png)"
  has_glyphs frame 95 24 29 34 || fail "no hour glyph at (95, 24) (frame.png)"
  has_glyphs frame 169 24 32 27 || fail "no last minute glyph at (169, 24) (frame.png)"
  all_sky frame 204 24 40 34 || fail "the clock shows more than h:mm glyphs at the start (frame.png)"
  has_glyphs frame 95 100 32 27 || fail "no wood count at (95, 100) (frame.png)"
  all_sky frame 130 100 40 27 || fail "the wood count is more than one glyph (frame.png)"
  step "HUD: clock icon, clock h:mm, wood icon, wood 0"

  press Escape "$window"
  wait_exit 15 || fail "Escape did not end the program"
  [ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape, expected 0"
  step "Escape: exit status 0"
}

# need_world: the generated world beside the program in the build folder.
need_world() {
  [ -f "$GAME_EXE" ] || fail "no program at '$GAME_EXE'"
  if [ ! -f "$GAME_DATA/GameSettings.ini" ] || [ ! -f "$GAME_DATA/Data/hmap.dat" ]; then
    fail "no world in '$GAME_DATA': configure the build with -DGLOAMFIELD_WORLDGEN=<host gloamfield-worldgen>"
  fi
}

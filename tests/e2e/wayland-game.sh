#!/usr/bin/env bash
# The native game on a Wayland desktop: weston (its X11 back end, in a private Xvfb) with
# software OpenGL, WAYLAND_DISPLAY set and SDL_VIDEODRIVER not, so that SDL itself picks
# Wayland. Start, walk, Escape, status 0.
#   wayland-game.sh GAME_BINARY BUILD_DIR
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/lib.sh"
command -v weston >/dev/null || skip "no weston to be the Wayland desktop"
start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1 XDG_RUNTIME_DIR="$work/runtime"
unset SDL_VIDEODRIVER
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=x11-backend.so --socket=wayland-e2e --width=1024 --height=768 --idle-time=0 \
  >"$work/weston.log" 2>&1 &
wm_pid=$!
wait_for 20 test -S "$XDG_RUNTIME_DIR/wayland-e2e" || fail "weston did not start: $(tail -3 "$work/weston.log")"
output=$(xwininfo -name "Weston Compositor - screen0" | awk '/Window id/ { print $4 }')
# The keyboard first, as on a desktop: weston hands it to the window it shows next.
xdotool windowfocus --sync "$output"

echo "-- the game starts on Wayland and shows the day"
mkdir "$work/play"
cp -r "$build/Data" "$build/GameSettings.ini" "$work/play/"
(cd "$work/play" && WAYLAND_DISPLAY=wayland-e2e exec "$game") >"$work/play.out" 2>"$work/play.err" &
game_pid=$!
wait_for 20 day_shows day || fail "no day sky in weston's output: $(cat "$work/play.err")"
# Wayland, not X: SDL drew through EGL on a Wayland surface, and the X server holds no
# window of the game's (DISPLAY is set too).
grep -q libwayland-egl "/proc/$game_pid/maps" || fail "the game did not load SDL's Wayland driver"
! xwininfo -root -tree | grep -qF '"Gloamfield"' || fail "the game opened an X window"
echo "-- holding W walks"
# The game runs once it has the keyboard (a key already down when it comes counts only
# once let go).
shot focused-0
wait_for 10 clock_moved focused || fail "the game did not take the keyboard"
hold w 0.8
wait_for 5 view_moved focused-1 walked || fail "the view did not change after walking"
echo "-- Escape ends the game with status 0"
quit_with_escape "the game on Wayland"
[ ! -s "$work/play.err" ] || fail "stderr on Wayland: $(cat "$work/play.err")"
echo "wayland end-to-end: all checks passed"

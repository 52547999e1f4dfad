# Sourced by the whole-program measurements: `source display.sh NAME` makes a scratch
# folder $work (/tmp/gloamfield-NAME-*), starts a virtual X server at 1024 x 768 on a free
# display with Mesa's software OpenGL, and on exit stops $game_pid, Wine's server (where
# WINEPREFIX is set) and the X server, and removes $work.
work=$(mktemp -d "/tmp/gloamfield-$1-XXXXXX")
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${WINEPREFIX:-}" ] && timeout 10 wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

n=70
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n" LIBGL_ALWAYS_SOFTWARE=1
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

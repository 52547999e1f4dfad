# Shared by the end-to-end scripts: a private X server, screenshots, waiting.
# Sourced; expects `set -euo pipefail` in the caller.

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/gloamfield-e2e-XXXXXX)
xvfb_pid=""

cleanup() {
  local status=$?
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ $status -eq 0 ]; then
    rm -rf "$work"
  else
    echo "screenshots and logs kept in $work"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts Xvfb on the first free display number and exports DISPLAY.
start_x() {
  local size=${1:-1024x768x24}
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "$size" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "Xvfb did not start"
}

# shot NAME: NAME.ppm for the checks, NAME.png for people.
shot() {
  xwd -root -silent | convert xwd:- "$work/$1.ppm"
  convert "$work/$1.ppm" "$work/$1.png"
}

pixels() { python3 "$e2e_dir/pixels.py" "$@"; }

# wait_window NAME SECONDS: prints the id of the first mapped window with that name.
# (Read from the window tree: xdotool's name search misses UTF-8 titles.)
wait_window() {
  local name=$1 seconds=$2 id=""
  for _ in $(seq $((seconds * 10))); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v n="\"$name\":" '$2 == n { print $1; exit }')
    if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# wait_exit PID SECONDS: waits for the process and prints its exit status.
wait_exit() {
  local pid=$1 seconds=$2
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      local status=0
      wait "$pid" || status=$?
      echo "$status"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# hold KEY SECONDS: a key held down long enough for several frames to see it.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

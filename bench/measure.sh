#!/usr/bin/env bash
# The whole-program measurements, on a virtual X server at 1024 x 768 with Mesa's
# software OpenGL:
#   - program start to the first presented frame, native (pacing on)
#   - resident memory of the running native game
#   - frame intervals with pacing on: median, 99th percentile, share within 20 ms
#   - frames a second with pacing off, native, and the Windows build under Wine, in one
#     run, and their ratio
# Usage: bench/measure.sh [LINUX_BUILD_DIR [WINDOWS_EXE]]
#   defaults: build/linux and build/windows/package/Gloamfield.exe
# Needs: Xvfb, python3; wine for the last line (skipped, and said so, without it).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/linux}" && pwd)
exe=${2:-$root/build/windows/package/Gloamfield.exe}
game=$build/gloamfield
probe=$build/bench/libgloamfield-frameprobe.so
seconds=${MEASURE_SECONDS:-10}

[ -x "$game" ] || { echo "no game at $game (cmake --build $build --target gloamfield)" >&2; exit 1; }
[ -f "$probe" ] || { echo "no probe at $probe (cmake --build $build --target gloamfield-frameprobe)" >&2; exit 1; }
[ -d "$build/Data" ] || { echo "no world in $build/Data (cmake --build $build --target world)" >&2; exit 1; }

work=$(mktemp -d /tmp/gloamfield-measure-XXXXXX)
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
export DISPLAY=":$n"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export LIBGL_ALWAYS_SOFTWARE=1

play_dir() {
  mkdir -p "$work/$1"
  cp -r "$build/Data" "$work/$1/"
  printf 'MouseSensitivity=100\nXResolution=1024\nYResolution=768\n' >"$work/$1/GameSettings.ini"
  echo "$work/$1"
}

# run_native NAME UNPACED: plays $seconds seconds standing at the start point; leaves
# the present times in $work/NAME.times, the launch time in $work/NAME.t0 and the
# memory figures in $work/NAME.mem.
run_native() {
  local dir
  dir=$(play_dir "$1")
  date +%s%N >"$work/$1.t0"
  (cd "$dir" && GLOAMFIELD_PROBE_OUT="$work/$1.times" GLOAMFIELD_PROBE_UNPACED=$2 \
    LD_PRELOAD="$probe" exec "$game") >"$work/$1.out" 2>&1 &
  game_pid=$!
  sleep "$seconds"
  grep -E '^(VmRSS|VmHWM|RssAnon|RssFile)' "/proc/$game_pid/status" >"$work/$1.mem" || true
  kill -TERM "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  [ -s "$work/$1.times" ] || { echo "the game presented nothing:" >&2; cat "$work/$1.out" >&2; exit 1; }
}

echo "== native, pacing on ($seconds s)"
run_native paced 0
echo "== native, pacing off ($seconds s)"
run_native unpaced 1

python3 - "$work" <<'EOF'
import sys
work = sys.argv[1]
def load(name):
    lines = open(f"{work}/{name}.times").read().split()
    return int(lines[0]), [int(v) for v in lines[1:]]
def pct(values, p):
    s = sorted(values)
    return s[min(len(s) - 1, int(round(p / 100.0 * (len(s) - 1))))]
first, t = load("paced")
t0 = int(open(f"{work}/paced.t0").read())
print(f"start to first presented frame: {(first - t0) / 1e6:.1f} ms")
mem = dict(l.split(":") for l in open(f"{work}/paced.mem").read().splitlines())
print(f"resident memory: {int(mem['VmRSS'].split()[0]) / 1024:.1f} MiB now, "
      f"{int(mem['VmHWM'].split()[0]) / 1024:.1f} MiB at most; "
      f"{int(mem['RssAnon'].split()[0]) / 1024:.1f} MiB private (anonymous), "
      f"{int(mem['RssFile'].split()[0]) / 1024:.1f} MiB mapped from files (libraries)")
# Frame intervals after the first second, when the world is loaded and running.
start = t[0] + 1_000_000_000
iv = [(b - a) / 1e6 for a, b in zip(t, t[1:]) if a >= start]
within = sum(1 for v in iv if v <= 20.0) / len(iv) * 100
print(f"pacing on: {len(iv)} intervals, median {pct(iv, 50):.2f} ms, "
      f"99th percentile {pct(iv, 99):.2f} ms, max {max(iv):.2f} ms, {within:.2f}% within 20 ms, "
      f"{len(iv) / ((t[-1] - start) / 1e9):.1f} frames/s")
_, u = load("unpaced")
us = [v for v in u if v >= u[0] + 1_000_000_000]
fps = (len(us) - 1) / ((us[-1] - us[0]) / 1e9)
print(f"pacing off, native: {fps:.1f} frames/s")
open(f"{work}/native.fps", "w").write(f"{fps}\n")
EOF

if ! command -v wine >/dev/null || [ ! -f "$exe" ]; then
  echo "Wine or $exe missing: no Windows comparison"
  exit 0
fi
echo "== Windows build under Wine, pacing off ($seconds s of play)"
export WINEPREFIX="$work/prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
wineboot -i >/dev/null 2>&1
dir=$(play_dir wine)
cp "$exe" "$dir/"
# wined3d reports its frame rate on the fps channel every few seconds.
(cd "$dir" && WINEDEBUG=-all,trace+fps exec wine Gloamfield.exe) >"$work/wine.out" 2>&1 &
game_pid=$!
sleep $((seconds + 4))
kill -TERM "$game_pid" 2>/dev/null || true
wait "$game_pid" 2>/dev/null || true
game_pid=""
python3 - "$work" <<'EOF'
import re, sys
work = sys.argv[1]
rates = [float(m) for m in re.findall(r"approx ([0-9.]+)fps", open(f"{work}/wine.out").read())]
if len(rates) < 2:
    print("Wine reported no frame rate; its output:")
    print(open(f"{work}/wine.out").read()[-2000:])
    sys.exit(1)
wine = sum(rates[1:]) / len(rates[1:])  # the first report includes start-up
native = float(open(f"{work}/native.fps").read())
print(f"pacing off, Windows build under Wine: {wine:.1f} frames/s ({len(rates) - 1} reports)")
print(f"native / Wine: {native / wine:.2f}x")
EOF

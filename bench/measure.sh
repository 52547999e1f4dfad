#!/usr/bin/env bash
# The whole-program measurements, on a virtual X server at 1024 x 768 with Mesa's
# software OpenGL:
#   - program start to the first presented frame, native (pacing on), median of launches
#   - resident memory of the running native game
#   - frame intervals with pacing on: median, 99th percentile, share within 20 ms
#   - frames a second with pacing off, native, and the Windows build under Wine, in one
#     run, and their ratio
# With --before, a second Linux build (say one made from an earlier commit) is measured in
# the same run: each native measurement runs for both builds back to back and the table
# shows them side by side. The Windows build is the same program for both and runs once.
# Usage: bench/measure.sh [--before BEFORE_BUILD_DIR] [LINUX_BUILD_DIR [WINDOWS_EXE]]
#   defaults: build/linux and build/windows/package/Gloamfield.exe
#   MEASURE_SECONDS (10): length of each played run; MEASURE_LAUNCHES (5): start-ups
# Needs: Xvfb, python3; wine for the last lines (skipped, and said so, without it).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
before=""
if [ "${1:-}" = "--before" ]; then
  before=$(cd "$2" && pwd)
  shift 2
fi
build=$(cd "${1:-$root/build/linux}" && pwd)
exe=${2:-$root/build/windows/package/Gloamfield.exe}
seconds=${MEASURE_SECONDS:-10}
launches=${MEASURE_LAUNCHES:-5}

names=(after)
builds=("$build")
if [ -n "$before" ]; then
  names=(before after)
  builds=("$before" "$build")
fi
for b in "${builds[@]}"; do
  [ -x "$b/gloamfield" ] || { echo "no game in $b (cmake --build $b --target gloamfield)" >&2; exit 1; }
  [ -f "$b/bench/libgloamfield-frameprobe.so" ] ||
    { echo "no probe in $b (cmake --build $b --target gloamfield-frameprobe)" >&2; exit 1; }
  [ -d "$b/Data" ] || { echo "no world in $b/Data (cmake --build $b --target world)" >&2; exit 1; }
done

source "$root/bench/display.sh" measure

# play_dir NAME [BUILD]: a fresh copy of the world and 1024 x 768 settings.
play_dir() {
  mkdir -p "$work/$1"
  cp -r "${2:-$build}/Data" "$work/$1/"
  printf 'MouseSensitivity=100\nXResolution=1024\nYResolution=768\n' >"$work/$1/GameSettings.ini"
  echo "$work/$1"
}

# launch NAME BUILD UNPACED PLAY_SECONDS: plays standing at the start point; leaves the
# present times in $work/NAME.times, the launch time in $work/NAME.t0 and the memory
# figures in $work/NAME.mem.
launch() {
  local dir
  dir=$(play_dir "$1" "$2")
  date +%s%N >"$work/$1.t0"
  (cd "$dir" && GLOAMFIELD_PROBE_OUT="$work/$1.times" GLOAMFIELD_PROBE_UNPACED=$3 \
    LD_PRELOAD="$2/bench/libgloamfield-frameprobe.so" exec "$2/gloamfield") >"$work/$1.out" 2>&1 &
  game_pid=$!
  sleep "$4"
  grep -E '^(VmRSS|VmHWM|RssAnon|RssFile)' "/proc/$game_pid/status" >"$work/$1.mem" || true
  kill -TERM "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  rm -rf "$dir"
  [ -s "$work/$1.times" ] || { echo "the game presented nothing:" >&2; cat "$work/$1.out" >&2; exit 1; }
}

# The builds take turns in every measurement, so that a change in the machine's load
# falls on both.
echo "== start-up, $launches launches of each build"
for i in $(seq "$launches"); do
  for k in "${!names[@]}"; do launch "${names[$k]}-start$i" "${builds[$k]}" 0 2; done
done
echo "== native, pacing on ($seconds s each)"
for k in "${!names[@]}"; do launch "${names[$k]}-paced" "${builds[$k]}" 0 "$seconds"; done
echo "== native, pacing off ($seconds s each)"
for ((k = ${#names[@]} - 1; k >= 0; k--)); do
  launch "${names[$k]}-unpaced" "${builds[$k]}" 1 "$seconds"
done

python3 - "$work" "$launches" "${names[@]}" <<'EOF'
import statistics, sys
work, launches, names = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
def load(name):
    lines = open(f"{work}/{name}.times").read().split()
    return int(lines[0]), [int(v) for v in lines[1:]]
def pct(values, p):
    s = sorted(values)
    return s[min(len(s) - 1, int(round(p / 100.0 * (len(s) - 1))))]
rows = {}
def row(label, name, text):
    rows.setdefault(label, {})[name] = text
for name in names:
    starts = []
    for i in range(1, launches + 1):
        first, _ = load(f"{name}-start{i}")
        starts.append((first - int(open(f"{work}/{name}-start{i}.t0").read())) / 1e6)
    row("start to first presented frame", name,
        f"{statistics.median(starts):.1f} ms (median; {min(starts):.0f}-{max(starts):.0f})")
    mem = dict(l.split(":") for l in open(f"{work}/{name}-paced.mem").read().splitlines())
    mib = lambda key: int(mem[key].split()[0]) / 1024
    row("resident memory", name,
        f"{mib('VmRSS'):.1f} MiB now, {mib('VmHWM'):.1f} at most; {mib('RssAnon'):.1f} private, "
        f"{mib('RssFile'):.1f} libraries")
    # Frame intervals after the first second, when the world is loaded and running.
    _, t = load(f"{name}-paced")
    start = t[0] + 1_000_000_000
    iv = [(b - a) / 1e6 for a, b in zip(t, t[1:]) if a >= start]
    within = sum(1 for v in iv if v <= 20.0) / len(iv) * 100
    row("pacing on", name,
        f"{within:.2f}% within 20 ms; median {pct(iv, 50):.2f} ms, 99th percentile "
        f"{pct(iv, 99):.2f} ms, max {max(iv):.2f} ms; {len(iv)} intervals, "
        f"{len(iv) / ((t[-1] - start) / 1e9):.1f} frames/s")
    _, u = load(f"{name}-unpaced")
    us = [v for v in u if v >= u[0] + 1_000_000_000]
    fps = (len(us) - 1) / ((us[-1] - us[0]) / 1e9)
    row("pacing off, native", name, f"{fps:.1f} frames/s")
    open(f"{work}/{name}.fps", "w").write(f"{fps}\n")
for label, by in rows.items():
    if len(names) == 1:
        print(f"{label}: {by[names[0]]}")
    else:
        print(f"{label}:")
        for name in names:
            print(f"  {name:6s} {by[name]}")
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
python3 - "$work" "${names[@]}" <<'EOF'
import re, sys
work, names = sys.argv[1], sys.argv[2:]
rates = [float(m) for m in re.findall(r"approx ([0-9.]+)fps", open(f"{work}/wine.out").read())]
if len(rates) < 2:
    print("Wine reported no frame rate; its output:")
    print(open(f"{work}/wine.out").read()[-2000:])
    sys.exit(1)
wine = sum(rates[1:]) / len(rates[1:])  # the first report includes start-up
print(f"pacing off, Windows build under Wine: {wine:.1f} frames/s ({len(rates) - 1} reports)")
for name in names:
    native = float(open(f"{work}/{name}.fps").read())
    label = "native / Wine" if len(names) == 1 else f"native / Wine, {name}"
    print(f"{label}: {native / wine:.2f}x")
EOF

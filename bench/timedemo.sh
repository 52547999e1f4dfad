#!/usr/bin/env bash
# The shipped demo through --timedemo, native and the Windows build under Wine, on one
# virtual X server at 1024 x 768 with Mesa's software OpenGL, one after the other.
# Usage: bench/timedemo.sh [LINUX_BUILD_DIR [WINDOWS_EXE]]
#   defaults: build/linux and build/windows/package/Gloamfield.exe
# Needs: Xvfb; wine for the second line (skipped, and said so, without it).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/linux}" && pwd)
exe=${2:-$root/build/windows/package/Gloamfield.exe}
demo=$root/demos/first-day.demo
[ -x "$build/gloamfield" ] && [ -d "$build/Data" ] ||
  { echo "no game or world in $build (cmake --build $build --target gloamfield world)" >&2; exit 1; }

source "$root/bench/display.sh" timedemo

# The world and 1024 x 768 full-screen settings, as measure.sh plays.
mkdir "$work/game"
cp -r "$build/Data" "$work/game/"
cp "$demo" "$work/game/"
printf 'MouseSensitivity=100\nXResolution=1024\nYResolution=768\n' >"$work/game/GameSettings.ini"
echo -n "native: "
(cd "$work/game" && "$build/gloamfield" --timedemo first-day.demo)

if ! command -v wine >/dev/null || [ ! -f "$exe" ]; then
  echo "Wine or $exe missing: no Windows figures"
  exit 0
fi
export WINEPREFIX="$work/prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
wineboot -i >/dev/null 2>&1
cp "$exe" "$work/game/"
(cd "$work/game" && wine Gloamfield.exe --timedemo first-day.demo >/dev/null 2>&1)
echo -n "Windows build under Wine: "
tr -d '\r' <"$work/game/timedemo.txt"

#!/usr/bin/env bash
# Installs what is missing, builds, generates the world and starts the game.
set -euo pipefail
cd "$(dirname "$0")"

build=build/release
./scripts/install-deps.sh play
if [ ! -x "$build/gloamfield" ] && [ ! -x "$build/src/gloamfield" ]; then
  # Only the first start compiles everything, a minute and a half's work for two cores; later
  # starts find it built and go straight to the game.
  cores=$(nproc)
  seconds=$((180 / cores > 20 ? 180 / cores : 20))
  echo "First start: building the game and generating its world in $build/."
  echo "That takes roughly $seconds seconds on $cores cores; later starts skip it."
fi
cmake --preset release >/dev/null
# The game and its world, without tests or benchmarks: those are ./test.sh's business.
cmake --build --preset release -j "$(nproc)" --target gloamfield world

game=""
for candidate in "$build/gloamfield" "$build/src/gloamfield"; do
  [ -x "$candidate" ] && game=$candidate && break
done
if [ -z "$game" ]; then
  echo "The game program is not built yet (no gloamfield in $build)." >&2
  exit 1
fi
for needed in "$build/GameSettings.ini" "$build/Data/hmap.dat"; do
  if [ ! -e "$needed" ]; then
    echo "The world is not generated yet ($needed is missing)." >&2
    exit 1
  fi
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: the game needs a graphical session (DISPLAY is not set)." >&2
  exit 1
fi

# The game reads GameSettings.ini and Data\ from its current directory.
cd "$build"
exec "./$(basename "$game")"

#!/usr/bin/env bash
# Builds presets and runs their tests; exits non-zero on any failure.
#   ./test.sh                 every preset CI runs: linux, linux-asan, linux-clang, windows
#   ./test.sh PRESET...       only these (the windows preset builds the linux one's world
#                             generator first when it is missing)
set -euo pipefail
cd "$(dirname "$0")"

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux linux-asan linux-clang windows)
known=$(cmake --list-presets 2>/dev/null | awk -F'"' 'NF > 1 { print $2 }')
for preset in "${presets[@]}"; do
  grep -qx "$preset" <<<"$known" || { echo "unknown preset: $preset" >&2; exit 2; }
done

./scripts/install-deps.sh

jobs=$(nproc)

run_preset() {
  local preset=$1
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  if [ "$preset" = windows ] && [ ! -x build/linux/tools/worldgen/gloamfield-worldgen ]; then
    # The cross build runs the host's world generator.
    cmake --preset linux >/dev/null
    cmake --build --preset linux -j "$jobs" --target gloamfield-worldgen
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset: test"
  if [ "$preset" = windows ]; then
    # The Windows program runs under Wine, one test at a time.
    ctest --preset "$preset" --no-tests=ignore
  else
    ctest --preset "$preset" -j "$jobs"
  fi
}

for preset in "${presets[@]}"; do
  run_preset "$preset"
done
echo "== ${presets[*]}: built, all tests passed"

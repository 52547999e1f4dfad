#!/usr/bin/env bash
# Builds every preset this machine can build and runs every test. Exits non-zero on any
# failure.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

jobs=$(nproc)

run_preset() {
  local preset=$1
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset: test"
  if [ "$preset" = windows ]; then
    # The Windows program runs under Wine, one test at a time.
    ctest --preset "$preset" --no-tests=ignore
  else
    ctest --preset "$preset" -j "$jobs"
  fi
}

run_preset linux
run_preset linux-asan
run_preset windows
echo "== all presets built, all tests passed"

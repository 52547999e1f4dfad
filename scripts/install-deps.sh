#!/usr/bin/env bash
# Installs, with apt-get, whatever this machine lacks; does nothing when all is there.
#   install-deps.sh play   what building and playing the native game needs
#   install-deps.sh        that, and every tool the tests and the packages use
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ libsdl2-dev libgl-dev libgl1-mesa-dri libpng-dev
  zlib1g-dev libcairo2-dev fonts-dejavu-core
)
if [ "${1:-all}" != play ]; then
  packages+=(
    libgtest-dev libbenchmark-dev
    clang libclang-rt-dev libc++-dev libc++abi-dev googletest
    xvfb xauth xdotool x11-apps x11-utils imagemagick openbox wmctrl weston
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 zip unzip
    valgrind python3 dpkg-dev file
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
# With their recommended packages, as the tests were run (Wine loads several of them).
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"

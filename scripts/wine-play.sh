#!/usr/bin/env bash
# Plays the Windows build under Wine on this display.
#   scripts/wine-play.sh [GAME_FOLDER]
# GAME_FOLDER holds Gloamfield.exe, GameSettings.ini and Data\ (default: build/windows,
# or an unpacked Gloamfield-win64.zip). The Wine prefix is $WINEPREFIX, or one of the
# game's own under ~/.cache, booted on first use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-$root/build/windows}

[ -f "$folder/Gloamfield.exe" ] || { echo "no Gloamfield.exe in $folder (cmake --build --preset windows)" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: Wine needs an X server" >&2; exit 1; }

export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/gloamfield/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "booting a Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

cd "$folder"
status=0
wine Gloamfield.exe || status=$?
echo "Gloamfield.exe exited with status $status"
exit $status

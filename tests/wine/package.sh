#!/usr/bin/env bash
# package.sh ZIP: the package holds the program, its settings and its world, and runs
# when unpacked into an empty folder.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

zip=$1
[ -f "$zip" ] || fail "no package at '$zip' (build the package target)"
need unzip
mkdir "$work/unpacked"
unzip -q "$zip" -d "$work/unpacked"
(cd "$work/unpacked" && find . -type f | sort) >"$work/contents"
grep -qx './Gloamfield.exe' "$work/contents" || fail "no Gloamfield.exe in the package"
grep -qx './GameSettings.ini' "$work/contents" || fail "no GameSettings.ini in the package"
for f in hmap.dat map.dat HouseWl.mdl Grass.bmp GameOver0.bmp GameOver1.bmp; do
  grep -qx "./Data/$f" "$work/contents" || fail "no Data/$f in the package"
done
stray=$(grep -v -e '^\./Gloamfield\.exe$' -e '^\./GameSettings\.ini$' -e '^\./Data/[^/.][^/]*$' "$work/contents" || true)
[ -z "$stray" ] || fail "the package holds more than the game: $stray"
step "unpacked $(wc -l <"$work/contents") files"

private_prefix
start_x
play_and_quit "$work/unpacked"

#!/usr/bin/env bash
# The Debian package, as a player gets it:
#   package.sh BUILD_DIR SHIPPED_DEMO
# Made with cpack, unpacked with dpkg-deb into an empty folder, it holds the program, the
# world, the demo, the desktop entry, the icon and the manual page; its program, started
# from another empty folder, finds the world beside it and plays the shipped demo through
# --timedemo, printing the figures; installed with dpkg where this machine allows it.
set -euo pipefail
build=$1
source "$(dirname "$0")/lib.sh"

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack could not make the package"; }
deb=$(ls "$work"/package/gloamfield_*.deb)
mkdir "$work/unpacked" "$work/elsewhere"
dpkg-deb -x "$deb" "$work/unpacked"
root="$work/unpacked/usr"
for f in bin/gloamfield share/gloamfield/GameSettings.ini share/gloamfield/Data/hmap.dat \
         share/gloamfield/Data/Grass.bmp share/gloamfield/demos/first-day.demo \
         share/applications/gloamfield.desktop share/icons/hicolor/128x128/apps/gloamfield.png \
         share/man/man6/gloamfield.6; do
  [ -s "$root/$f" ] || fail "the package lacks $f"
done
grep -q '^Exec=gloamfield' "$root/share/applications/gloamfield.desktop" || fail "no Exec line"
echo "-- the package holds the program, the world, the demo, the entry, the icon, the manual"

start_x 1024x768x24
export LIBGL_ALWAYS_SOFTWARE=1
started=$(date +%s)
(cd "$work/elsewhere" && timeout 120 "$root/bin/gloamfield" --timedemo \
  "$root/share/gloamfield/demos/first-day.demo") >"$work/timedemo.out" 2>"$work/timedemo.err" ||
  fail "timedemo failed: $(cat "$work/timedemo.err")"
grep -E '^timedemo .*: [0-9]+ frames in [0-9.]+ s, [0-9.]+ frames a second, median [0-9.]+ ms, 99th percentile [0-9.]+ ms a frame$' \
  "$work/timedemo.out" || fail "no figures: $(cat "$work/timedemo.out")"
echo "-- timedemo from an empty folder, $(( $(date +%s) - started )) s"
source "$e2e_dir/package-settings.sh"

if [ "$(id -u)" = 0 ] && command -v dpkg >/dev/null && ! dpkg-query -W gloamfield >/dev/null 2>&1; then
  dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || fail "dpkg -i failed: $(cat "$work/dpkg.log")"
  version=$(cd "$work/elsewhere" && gloamfield --version)
  dpkg -r gloamfield >>"$work/dpkg.log" 2>&1 || fail "dpkg -r failed"
  [ "$version" = "Gloamfield $(dpkg-deb -f "$deb" Version)" ] || fail "installed: '$version'"
  echo "-- installed with dpkg -i: $version; removed again"
fi
echo "package: all checks passed"

#!/usr/bin/env bash
# The Debian package, as a player gets it:
#   package.sh BUILD_DIR SHIPPED_DEMO
# Made with cpack, unpacked with dpkg-deb into an empty folder, it holds the program, the
# world, the demo, the desktop entry, the icon and the manual page; its program, started
# from another empty folder, finds the world beside it and plays the shipped demo through
# --timedemo, printing the figures. Its dependencies are the ones dpkg-shlibdeps computed.
# Nothing is installed on this machine.
set -euo pipefail
build=$1
source "$(dirname "$0")/lib.sh"
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || skip "no $tool to make or unpack the package with"
done

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
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libsdl2-2.0-0 (>= ' <<<"$depends" || fail "dependencies not computed from the program: '$depends'"
version=$(cd "$work/elsewhere" && "$root/bin/gloamfield" --version)
[ "$version" = "Gloamfield $(dpkg-deb -f "$deb" Version)" ] || fail "the unpacked program says '$version'"
echo "-- the package holds the program, the world, the demo, the entry, the icon, the manual; $version; Depends: $depends"

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

echo "package: all checks passed"

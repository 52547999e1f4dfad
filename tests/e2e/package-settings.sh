# shellcheck shell=bash
# Sourced by package.sh once the package is unpacked under $root: where the installed game,
# started as a player (not root), finds its settings. Each start is told apart by the
# window its settings ask for.
cmp -s "$root/share/gloamfield/GameSettings.ini" "$build/defaults/GameSettings.ini" ||
  fail "the package's GameSettings.ini is not the generator's defaults"
player=()
config=$work/player-config
home=$work/player
mkdir -p "$config" "$home"
if [ "$(id -u)" = 0 ]; then
  player=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  chmod 755 "$work"
  chown nobody:nogroup "$config" "$home"
fi

# started SIZE [OPTION...]: the installed game started in $home opens a window of SIZE;
# Escape ends it with status 0.
started() {
  local size=$1 window geometry=""
  shift
  (cd "$home" && exec "${player[@]}" env XDG_CONFIG_HOME="$config" "$root/bin/gloamfield" "$@") \
    >"$work/settings.out" 2>"$work/settings.err" &
  game_pid=$!
  window=$(wait_window Gloamfield 20) || fail "no window ($*): $(cat "$work/settings.err")"
  sized() {
    geometry=$(xdotool getwindowgeometry "$window" 2>/dev/null | awk '/Geometry/ { print $2 }')
    [ "$geometry" = "$size" ]
  }
  wait_for 5 sized || fail "a $geometry window, not $size ($*)"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  quit_with_escape "the installed game ($*)"
}

written=$config/gloamfield/GameSettings.ini
started 1024x768
cmp -s "$written" "$build/defaults/GameSettings.ini" || fail "no defaults written to $written"
grep -qF "Gloamfield: the default settings are written to $written" "$work/settings.err" ||
  fail "the game did not say where: $(cat "$work/settings.err")"
echo "-- no settings yet: the defaults written to \$XDG_CONFIG_HOME/gloamfield/, and it says so"

sed -i 's/^Windowed=0/Windowed=1/; s/^XResolution=.*/XResolution=640/; s/^YResolution=.*/YResolution=480/' \
  "$written"
started 640x480
[ ! -s "$work/settings.err" ] || fail "stderr on the second start: $(cat "$work/settings.err")"
echo "-- a change to that file counts on the next start"

printf 'Windowed=1\nXResolution=800\nYResolution=600\n' >"$work/other.ini"
started 800x600 --settings "$work/other.ini"
echo "-- --settings FILE reads FILE"

printf 'Windowed=1\nXResolution=720\nYResolution=540\n' >"$home/GameSettings.ini"
started 720x540
echo "-- the current folder's GameSettings.ini wins, with the installed world"

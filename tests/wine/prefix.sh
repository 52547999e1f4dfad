#!/usr/bin/env bash
# prefix.sh boot DIR | remove DIR: the Wine prefix booted once per test run, which each
# test copies into a prefix of its own.
set -euo pipefail
dir=$2
case $1 in
  boot)
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    start=$(date +%s)
    # wineboot wants a display for its first start; a throwaway one does.
    xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
      bash -c 'wineboot -i >/dev/null 2>&1; wineserver -w'
    [ -f "$dir/system.reg" ] || { echo "FAIL: wineboot made no prefix in $dir" >&2; exit 1; }
    echo "booted $dir in $(($(date +%s) - start)) s"
    ;;
  remove)
    WINEPREFIX=$dir wineserver -k >/dev/null 2>&1 || true
    rm -rf "$dir"
    ;;
  *)
    echo "usage: prefix.sh boot|remove DIR" >&2
    exit 2
    ;;
esac

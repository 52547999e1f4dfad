#!/usr/bin/env bash
# imports.sh EXE OBJDUMP: a 64-bit GUI program whose import table names system DLLs only:
# no Direct3D or DirectInput (loaded at run time) and no compiler runtime (linked in).
set -euo pipefail
exe=$1
objdump=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

headers=$("$objdump" -p "$exe")
grep -q 'file format pei-x86-64' <<<"$headers" || fail "not a 64-bit Windows program"
grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$headers" || fail "not a GUI program: $(grep '^Subsystem' <<<"$headers")"
dlls=$(awk '/DLL Name:/ { print $3 }' <<<"$headers" | sort -u)
echo "imports: $(tr "\n" " " <<<"$dlls")"
[ -n "$dlls" ] || fail "no import table"
while read -r dll; do
  case ${dll,,} in
    kernel32.dll | user32.dll | gdi32.dll | winmm.dll | shell32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) fail "imports $dll" ;;
  esac
done <<<"$dlls"

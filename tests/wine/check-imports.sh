#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that Windows itself does not ship
# (a MinGW runtime, zlib, libstdc++...): the program must run on its own.
set -eu
exe=$1
[ -f "$exe" ] || { echo "missing $exe" >&2; exit 1; }
# winspool is a .drv, not a .dll, but ships with every Windows all the same.
system='^((kernel32|user32|gdi32|gdiplus|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|winmm|msvcrt|ws2_32|version|uxtheme|imm32)\.dll|winspool\.drv)$'
bad=0
for dll in $(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}'); do
  if ! echo "$dll" | grep -Eq "$system"; then echo "non-system DLL: $dll"; bad=1; fi
done
[ $bad = 0 ] && echo "only system DLLs"
exit $bad

#!/usr/bin/env bash
# One Wine session per test run: an Xvfb display, a fresh prefix inside the
# build folder with Arial mapped to Liberation Sans, and our Paint stand-in
# registered where Windows registers Paint.
#   session.sh start STATE WINBUILD   make the session (ctest fixture setup)
#   session.sh run STATE EXE [ARGS]   run a Windows program in it
#   session.sh stop STATE             end it (ctest fixture cleanup)
set -u
cmd=$1 state=$2
shift 2

# 32-bit Wine needs the wine32 package (which a machine without i386
# packages, or with them out of step, cannot install) and a kernel that runs
# 32-bit code (some have IA-32 emulation off). Without either, the Windows
# programs run as x86_64 builds of the same sources under 64-bit Wine.
# wine_arch says which one this machine has.
wine_arch() {
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo 32
  elif [ -x /usr/lib/wine/wine64 ]; then
    echo 64
  else
    echo none
  fi
}

load_env() {
  if [ ! -f "$state/env" ]; then echo "no Wine session in $state" >&2; exit 1; fi
  # shellcheck disable=SC1091
  . "$state/env"
  export DISPLAY WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$(wine_arch)" = 64 ]; then
    export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    wine() { /usr/lib/wine/wine64 "$@"; }
    wineboot() { /usr/lib/wine/wine64 wineboot "$@"; }
    wineserver() { /usr/lib/wine/wineserver64 "$@"; }
  fi
}

case $cmd in
arch)
  wine_arch
  ;;
start)
  winbuild=$1
  "$0" stop "$state" >/dev/null 2>&1
  rm -rf "$state" && mkdir -p "$state"
  display=
  for n in $(seq 90 140); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=:$n; break; fi
  done
  [ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
  Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  printf 'DISPLAY=%s\nWINEPREFIX=%s\n' "$display" "$state/prefix" >"$state/env"
  load_env
  wineboot -i >"$state/wineboot.log" 2>&1 && wineserver -w
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
  stub="$winbuild/tests/win/paintstub.exe"
  if [ -f "$stub" ]; then
    cp "$stub" "$WINEPREFIX/drive_c/windows/paintstub.exe"
    wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\pbrush.exe' \
      /ve /t REG_EXPAND_SZ /d '%SystemRoot%\paintstub.exe' /f >/dev/null 2>&1
  fi
  wineserver -w
  echo "Wine session on $display, prefix $WINEPREFIX"
  ;;
run)
  load_env
  exe=$1
  shift
  if [ "$(wine_arch)" = 64 ] && file "$exe" | grep -q 'PE32 executable'; then
    echo "$exe is a 32-bit program, and this machine runs 64-bit code only;" >&2
    echo "run the x86_64 build of it (cmake/mingw-x86_64.cmake) under 64-bit Wine." >&2
    exit 1
  fi
  cd "$(dirname "$exe")" || exit 1
  wine "$exe" "$@"
  rc=$?
  exit $rc
  ;;
stop)
  if [ -f "$state/env" ]; then load_env; wineserver -k >/dev/null 2>&1; fi
  if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1; rm -f "$state/xvfb.pid"; fi
  exit 0
  ;;
*)
  echo "usage: session.sh start|run|stop STATE ..." >&2
  exit 2
  ;;
esac

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

load_env() {
  if [ ! -f "$state/env" ]; then echo "no Wine session in $state" >&2; exit 1; fi
  # shellcheck disable=SC1091
  . "$state/env"
  export DISPLAY WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

case $cmd in
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

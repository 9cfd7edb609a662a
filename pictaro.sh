#!/usr/bin/env bash
# Pictaro from a fresh Debian machine:
#   bash pictaro.sh run    install what is missing, build, start Pictaro under Wine
#   bash pictaro.sh test   install what is missing, build, run the whole test suite
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${PICTARO_BUILD:-$here/build}
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo

packages="cmake make g++ clang libclang-rt-14-dev googletest zlib1g-dev python3
  libjpeg62-turbo-dev libpng-dev libgif-dev dpkg-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev mingw-w64-tools
  file wine wine32:i386 wine64 xvfb x11-utils xdotool fonts-liberation imagemagick
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  librsvg2-bin libcairo2-dev"

install() {
  missing=""
  for p in $packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
  fi
  # The MinGW trees build the image libraries from Debian's source packages.
  "$here/cmake/deb-sources.sh" "$here/third_party"
}

build() {
  CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j2
}

case ${1:-} in
run)
  install
  build
  state=$build/wine-run
  # 32-bit Wine needs a kernel that runs 32-bit code; otherwise run the
  # x86_64 build of the same program.
  win=$build/win32
  [ "$("$here/tests/wine/session.sh" arch none)" = 32 ] || win=$build/win64
  "$here/tests/wine/session.sh" stop "$state" >/dev/null 2>&1 || true
  if [ -z "${DISPLAY:-}" ]; then
    "$here/tests/wine/session.sh" start "$state" "$win"
    . "$state/env"
    echo "No display: Pictaro runs on the virtual display $DISPLAY (screenshot: import -window root -display $DISPLAY shot.png)"
  else
    mkdir -p "$state"
    printf 'DISPLAY=%s\nWINEPREFIX=%s\n' "$DISPLAY" "$state/prefix" >"$state/env"
  fi
  cp "$build/movies/sample.swf" "$win/app/" 2>/dev/null || true
  echo "Starting Pictaro; open sample.swf with \"1. Open SWF\" (it is beside pictaro.exe)."
  exec "$here/tests/wine/session.sh" run "$state" "$win/app/pictaro.exe"
  ;;
test)
  install
  build
  cd "$build"
  ctest -j2 --output-on-failure --timeout 900
  ;;
*)
  echo "usage: bash pictaro.sh run|test" >&2
  exit 2
  ;;
esac

#!/usr/bin/env bash
# Pictaro from a fresh Debian machine:
#   bash pictaro.sh run      install what is missing, build the program, start it under Wine
#   bash pictaro.sh test     install what is missing, build everything, run the whole test suite
#   bash pictaro.sh package  the Windows setup and zip in dist/
# Each step says how long it took; a failed step names the command that
# failed and what to try.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=${PICTARO_BUILD:-$here/build}
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo

packages="cmake make g++ clang libclang-rt-14-dev googletest zlib1g-dev python3
  libjpeg62-turbo-dev libpng-dev libgif-dev liblzma-dev dpkg-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev mingw-w64-tools
  file wine wine64 xvfb x11-utils xdotool fonts-liberation imagemagick
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  librsvg2-bin libcairo2-dev nsis
  pkg-config libmpg123-dev libspeex-dev lame speex"
# Wanted but not needed: without it the x86_64 build runs under 64-bit Wine.
wine32=wine32:i386

started=$SECONDS
failed=""

# Runs a command, remembering it if it fails.
try() {
  "$@" && return 0
  local rc=$?
  failed="$*"
  return $rc
}

# step WHAT HINT FUNCTION: runs one step, timed; on failure stops with the
# failed command and the hint.
step() {
  local what=$1 hint=$2 t0=$SECONDS
  shift 2
  echo "==> $what"
  failed=""
  if "$@"; then
    echo "    $what: done in $((SECONDS - t0)) s ($((SECONDS - started)) s in all)"
    return 0
  fi
  echo "pictaro.sh: $what failed after $((SECONDS - t0)) s." >&2
  [ -n "$failed" ] && echo "  The command that failed: $failed" >&2
  echo "  Try: $hint" >&2
  exit 1
}

missing_packages() {
  local p out=""
  for p in "$@"; do dpkg -s "$p" >/dev/null 2>&1 || out="$out $p"; done
  echo "$out"
}

apt_install() {
  try $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"
}

install_packages() {
  local missing need32 no32=$build/wine32-unavailable.log
  missing=$(missing_packages $packages)
  need32=$(missing_packages $wine32)
  # Tried once already: not again on every run.
  if [ -n "$need32" ] && [ -f "$no32" ]; then
    echo "    32-bit Wine ($wine32) could not be installed before ($no32): the x86_64 build runs"
    need32=""
  fi
  [ -z "$missing$need32" ] && { echo "    every package is in"; return 0; }
  echo "    installing:$missing$need32"
  [ -n "$need32" ] && $sudo dpkg --add-architecture i386
  # A mirror caught mid-sync fails one index and leaves the rest usable; the
  # install below says what is really missing.
  $sudo apt-get update -qq ||
    echo "    warning: apt-get update failed on some index (see above); going on with what it has" >&2
  if [ -n "$missing" ]; then apt_install $missing || return 1; fi
  if [ -n "$need32" ] && ! apt_install $wine32 >"$no32" 2>&1; then
    failed=""
    echo "    32-bit Wine ($wine32) cannot be installed here (no i386 packages, or versions out of step; $no32): Pictaro runs as its x86_64 build under 64-bit Wine"
  elif [ -n "$need32" ]; then
    rm -f "$no32"
  fi
  return 0
}

# The MinGW trees build the image libraries from Debian's source packages.
fetch_sources() { try "$here/cmake/deb-sources.sh" "$here/third_party"; }

configure() {
  try env CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" ||
    { cat "$build/configure.log" >&2; return 1; }
}

build_targets() { try cmake --build "$build" -j2 "$@"; }

prepare() {
  mkdir -p "$build"
  step "Installing packages" "read apt's message above; 'sudo apt-get update' and run again" install_packages
  step "Fetching the image libraries' sources" \
    "check the deb-src entries in /etc/apt/sources.list.d, then $here/cmake/deb-sources.sh $here/third_party" fetch_sources
  step "Configuring" "rm -rf $build and run again" configure
}

case ${1:-} in
run)
  prepare
  step "Building Pictaro, swfshot and the sample movies" \
    "cmake --build $build -j2 --target runnable (the first error is the cause)" build_targets --target runnable
  state=$build/wine-run
  # 32-bit Wine needs both the wine32 package and a kernel that runs 32-bit
  # code; otherwise the x86_64 build of the same program runs.
  win=$build/win32
  [ "$("$here/tests/wine/session.sh" arch none)" = 32 ] || win=$build/win64
  "$here/tests/wine/session.sh" stop "$state" >/dev/null 2>&1 || true
  if [ -z "${DISPLAY:-}" ]; then
    step "Starting Wine on a virtual display" "$here/tests/wine/session.sh start $state $win" \
      try "$here/tests/wine/session.sh" start "$state" "$win"
    . "$state/env"
    echo "No display: Pictaro runs on the virtual display $DISPLAY (screenshot: import -window root -display $DISPLAY shot.png)"
  else
    mkdir -p "$state"
    printf 'DISPLAY=%s\nWINEPREFIX=%s\n' "$DISPLAY" "$state/prefix" >"$state/env"
  fi
  cp "$build/movies/sample.swf" "$win/app/" 2>/dev/null || true
  echo "Starting Pictaro ($((SECONDS - started)) s after the start); open sample.swf with \"1. Open SWF\" (it is beside pictaro.exe)."
  exec "$here/tests/wine/session.sh" run "$state" "$win/app/pictaro.exe"
  ;;
test)
  prepare
  step "Building everything" "cmake --build $build -j2 (the first error is the cause)" build_targets
  cd "$build" || exit 1
  step "Running the tests" "cd $build && ctest --rerun-failed --output-on-failure" \
    try ctest -j2 --output-on-failure --timeout 900
  ;;
package)
  prepare
  step "Building the Windows packages" "cmake --build $build -j2 --target dist" build_targets --target dist
  mkdir -p "$here/dist"
  cp "$build"/dist/Pictaro-*-setup.exe "$build"/dist/Pictaro-*.zip "$here/dist/"
  ls -l "$here"/dist/
  ;;
*)
  echo "usage: bash pictaro.sh run|test|package" >&2
  exit 2
  ;;
esac

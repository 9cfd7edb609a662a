#!/usr/bin/env bash
# Fetches Debian's source packages of the image and sound libraries
# (libjpeg-turbo, libpng, giflib, mpg123, speex) and of liblzma (xz-utils)
# into DIR, for the MinGW trees, which build them statically (Debian has no
# MinGW packages of them). Enables Debian's source entries first if the
# machine has none (a sources file of our own beside Debian's).
# Safe to run again: packages already unpacked in DIR are kept.
set -eu
dir=${1:?usage: deb-sources.sh DIR}
packages="libjpeg-turbo libpng1.6 giflib mpg123 speex xz-utils"
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo

have() { ls -d "$dir/$1"-[0-9]*/ >/dev/null 2>&1; }

missing=""
for p in $packages; do have "$p" || missing="$missing $p"; done
[ -z "$missing" ] && exit 0

list=/etc/apt/sources.list.d/pictaro-src.sources
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$list" >/dev/null
  else
    grep -hE '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/pictaro-src.list >/dev/null
  fi
  # One failed index (a mirror mid-sync) need not stop us: apt-get source
  # below says whether what we need is there.
  $sudo apt-get update -qq || echo "deb-sources.sh: warning: apt-get update failed on some index; going on" >&2
fi

mkdir -p "$dir"
cd "$dir"
for p in $missing; do
  # The newest version first; a mirror may lack it, so older ones follow.
  for v in $(apt-cache showsrc "$p" | sed -n 's/^Version: //p' | sort -rV | uniq); do
    if apt-get source -qq "$p=$v" >/dev/null 2>&1; then break; fi
    # A mirror may lack an upstream signature (.asc) the .dsc lists; apt
    # has checked what it fetched against the signed index, so unpack that.
    dsc=$(ls "${p}_${v#*:}.dsc" 2>/dev/null || true)
    if [ -n "$dsc" ] && dpkg-source --no-check -x "$dsc" >/dev/null 2>&1; then break; fi
  done
  have "$p" || { echo "deb-sources.sh: cannot fetch the source of $p" >&2; exit 1; }
done

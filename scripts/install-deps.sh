#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 machine (run as root).
# Does nothing when everything is already there.
set -euo pipefail

need=(cmake make python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
      wine wine64 wine32:i386 xvfb xauth googletest
      rime-data-wubi rime-data-pinyin-simp fonts-wqy-microhei fonts-dejavu-core
      xdotool imagemagick)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in mid-sync fails an index now and then: try again, then go on with the
  # indexes that did arrive.
  for try in 1 2 3; do
    apt-get update -qq && break
    [ "$try" = 3 ] || sleep 15
  done
  if ! apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    # Without the i386 indexes wine32 cannot be installed; the 32-bit build needs only
    # the cross compiler, and its tests are skipped where 32-bit programs cannot run.
    rest=()
    for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
    echo "install-deps: installing without wine32:i386" >&2
    apt-get install -y -qq --no-install-recommends "${rest[@]}"
  fi
fi

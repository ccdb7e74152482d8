#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 machine (run as root).
# Does nothing when everything is already there.
set -euo pipefail

need=(cmake make python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
      wine wine64 wine32:i386 xvfb xauth googletest
      rime-data-wubi rime-data-pinyin-simp fonts-wqy-microhei imagemagick)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The project needs the posix thread model of the mingw compilers for std::thread / std::mutex.
for arch in x86_64 i686; do
  for tool in gcc g++; do
    if [ -e "/usr/bin/$arch-w64-mingw32-$tool-posix" ]; then
      cur=$(readlink -f "/usr/bin/$arch-w64-mingw32-$tool" || true)
      case "$cur" in *-posix) ;; *) update-alternatives --set "$arch-w64-mingw32-$tool" "/usr/bin/$arch-w64-mingw32-$tool-posix" >/dev/null ;; esac
    fi
  done
done

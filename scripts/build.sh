#!/usr/bin/env bash
# Builds both targets: $ZL_BUILD_ROOT/x64 (64-bit deliverables, tools, tests) and
# $ZL_BUILD_ROOT/x86 (zlwb32.dll and the 32-bit tests); the root defaults to build.
# Fills dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
root=${ZL_BUILD_ROOT:-build}
export ZL_WINEPREFIX="${ZL_WINEPREFIX:-$PWD/$root/wineprefix}"
for arch in x64 x86; do
  case $arch in
    x64) tc=cmake/toolchain-x86_64.cmake dict= ;;
    x86) tc=cmake/toolchain-i686.cmake dict=$PWD/$root/x64/data/zlwb.dat ;;
  esac
  cmake -S . -B $root/$arch -DCMAKE_TOOLCHAIN_FILE=$tc -DCMAKE_BUILD_TYPE=Release -DZL_DICT_FROM="$dict" >/dev/null
  cmake --build $root/$arch -j "$jobs"
done

#!/usr/bin/env bash
# dpi144.sh RUNNER PROGRAM [ARGS...]: runs a test program with the screen at 144 dpi, in a
# throw-away prefix that shares the build prefix's drive but has its own registry, so no
# other test sees the change. ZL_EXPECT_DPI=144 tells the program what to expect.
set -eu
runner=$1
shift
base=${ZL_WINEPREFIX:-$(cd "$(dirname "$runner")/.." && pwd)/build/wineprefix}
# Creates the build prefix (with its fonts) when this runs first.
"$runner" cmd /c exit 0 >/dev/null 2>&1 || true
pfx=$base-dpi144-$$
. "$(dirname "$runner")/wine-loader.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  WINEPREFIX=$pfx wineserver -k 2>/dev/null || true
  rm -rf "$pfx"
}
trap cleanup EXIT
rm -rf "$pfx"
mkdir -p "$pfx/dosdevices"
cp "$base"/*.reg "$pfx"/
cp "$base/.update-timestamp" "$pfx"/ 2>/dev/null || true
ln -s "$base/drive_c" "$pfx/drive_c"
ln -s ../drive_c "$pfx/dosdevices/c:"
ln -s / "$pfx/dosdevices/z:"
export WINEPREFIX=$pfx
"$zl_wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
# Not exec: the cleanup must still run when the program ends.
ZL_EXPECT_DPI=144 "$zl_wine" "$@"

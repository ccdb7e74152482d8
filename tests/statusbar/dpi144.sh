#!/usr/bin/env bash
# Runs the status bar's dpi checks with the screen at 144 dpi: a throw-away prefix that
# shares the build prefix's drive but has its own registry, so no other test sees the change.
set -eu
exe=$1
runner=$2
base=${ZL_WINEPREFIX:-$(cd "$(dirname "$runner")/.." && pwd)/build/wineprefix}
# Creates the build prefix when this test runs first.
"$runner" "$exe" --gtest_list_tests >/dev/null
pfx=$base-dpi144
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$pfx wineserver -k 2>/dev/null || true
rm -rf "$pfx"
mkdir -p "$pfx/dosdevices"
cp "$base"/*.reg "$pfx"/
cp "$base/.update-timestamp" "$pfx"/ 2>/dev/null || true
ln -s "$base/drive_c" "$pfx/drive_c"
ln -s ../drive_c "$pfx/dosdevices/c:"
ln -s / "$pfx/dosdevices/z:"
export WINEPREFIX=$pfx
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
rc=0
ZL_EXPECT_DPI=144 wine "$exe" --gtest_filter='StatusBarDpi.*' || rc=$?
wineserver -k 2>/dev/null || true
rm -rf "$pfx"
exit $rc

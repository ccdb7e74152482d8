#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test under Wine, with a
# virtual screen for the windows. The Wine prefix is the build's own; its server is
# stopped at the end so nothing is left running.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export ZL_BUILD_ROOT="${ZL_BUILD_ROOT:-build}"
export ZL_WINEPREFIX="$PWD/$ZL_BUILD_ROOT/wineprefix"
. scripts/wine-loader.sh
arches="x64 x86"
if [ "$ZL_WIN32_RUNS" = 0 ]; then
  arches=x64
  echo "This machine cannot run 32-bit programs: zlwb32.dll is built, its tests are not run." >&2
fi
export arches
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  rc=0
  for arch in $arches; do
    ctest --test-dir "$ZL_BUILD_ROOT/$arch" --output-on-failure -j "$(nproc)" --timeout 600 || rc=1
  done
  WINEPREFIX="$ZL_WINEPREFIX" wineserver -k 2>/dev/null || true
  exit $rc' || status=1
exit $status

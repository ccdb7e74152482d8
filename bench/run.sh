#!/usr/bin/env bash
# Builds zlbench and replays the key files under Wine on the generated dictionary.
#   bench/run.sh [--keys Z:/abs/keys.txt]... [--repeat N]
# Without --keys it replays ../shared/bench/wubi_keys.txt (relative to the repository).
# Uses $ZL_BUILD_ROOT (default build) and $ZL_WINEPREFIX like the other scripts.
set -eu
cd "$(dirname "$0")/.."
root=${ZL_BUILD_ROOT:-build}
export ZL_WINEPREFIX="${ZL_WINEPREFIX:-$PWD/$root/wineprefix}"
cmake --build "$root/x64" --target zlbench -j "$(nproc)" >/dev/null
exec scripts/wine-run.sh "$root/x64/bench/zlbench.exe" --dict "Z:$PWD/$root/x64/data/zlwb.dat" "$@"

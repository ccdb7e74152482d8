#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the demonstration under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
scripts/wine-run.sh build/x64/tools/zltype.exe "Z:$PWD/dist/data/zlwb.dat" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the demonstration program
# zldemo.exe under Wine. With a display its window opens for you to type Wubi codes in.
# Without one (a server, CI) it runs on a virtual screen: a few Wubi codes are typed into
# its input box with real key events, the window is saved to build/demo.png and the
# typed text is printed; codes given as arguments are typed instead of the usual ones.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run.sh dist/zldemo.exe
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/demo-typing.sh "$@"

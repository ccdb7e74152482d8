#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix (created on first use).
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${ZL_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$WINEPREFIX/zl-fonts.done" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
    # The windows draw with "Microsoft YaHei" (UI): show it with the installed CJK font.
    if [ ! -f "$WINEPREFIX/zl-fonts.done" ]; then
      for face in "Microsoft YaHei" "Microsoft YaHei UI"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
      done && touch "$WINEPREFIX/zl-fonts.done"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"

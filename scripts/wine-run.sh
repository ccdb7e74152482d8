#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix (created on first use).
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${ZL_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
. "$here/wine-loader.sh"
fonts_done="$WINEPREFIX/zl-fonts-2.done"
if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$fonts_done" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$zl_wine" wineboot.exe -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
    # The windows draw with "Microsoft YaHei" (UI). The status bar's glyphs are all CJK:
    # the installed CJK font stands in for it. The candidate window and the symbol panel
    # also draw Latin text and symbols that the CJK font lacks (♫ ☀ ☯ ☺ ⌀ ░) or draws
    # empty (Ⅴ Ⅹ ℃): they get DejaVu Sans, with the CJK font linked behind it for the
    # characters DejaVu lacks, the way Windows links its own fonts.
    if [ ! -f "$fonts_done" ]; then
      link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
      "$zl_wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Microsoft YaHei UI" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 &&
        "$zl_wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Microsoft YaHei" /d "DejaVu Sans" /f >/dev/null 2>&1 &&
        "$zl_wine" reg add "$link" /v "DejaVu Sans" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1 &&
        touch "$fonts_done"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$zl_wine" "$@"

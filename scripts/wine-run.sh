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
demo_fonts_done="$WINEPREFIX/zl-demo-fonts.done"
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$fonts_done" ] || [ ! -f "$demo_fonts_done" ]; then
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
      "$zl_wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Microsoft YaHei UI" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 &&
        "$zl_wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Microsoft YaHei" /d "DejaVu Sans" /f >/dev/null 2>&1 &&
        "$zl_wine" reg add "$link" /v "DejaVu Sans" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1 &&
        touch "$fonts_done"
    fi
    # The settings program's own faces: its help text asks for "微软雅黑" by its Chinese
    # name, its title for bold "Microsoft YaHei" (bold DejaVu Sans needs its own link),
    # and menus and message boxes draw with Tahoma, which has no Chinese: they get
    # "Microsoft YaHei UI" at -12 px (a LOGFONTW) instead.
    if [ ! -f "$demo_fonts_done" ]; then
      font=f4ffffff0000000000000000000000009001000000000001000000004d006900630072006f0073006f00
      font+=660074002000590061004800650069002000550049000000000000000000000000000000000000000000
      font+=0000000000000000
      "$zl_wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "微软雅黑" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 &&
        "$zl_wine" reg add "$link" /v "DejaVu Sans Bold" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f \
          >/dev/null 2>&1 &&
        for metric in MenuFont MessageFont; do
          "$zl_wine" reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v $metric /t REG_BINARY /d $font /f \
            >/dev/null 2>&1 || exit 1
        done && touch "$demo_fonts_done"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$zl_wine" "$@"

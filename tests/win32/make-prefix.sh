#!/usr/bin/env bash
# Makes the Wine prefixes the Windows tests run in, fresh, under the build:
#   wine/desktop  programs run inside Wine's virtual desktop, where keys
#                 reach the dialogs as on Windows (Xvfb has no window manager)
#   wine/plain    programs get X windows of their own, whose icons X shows
# Both link a CJK font to the dialog fonts, so that the Chinese texts show.
set -euo pipefail
export TESSEL_WIN32_BUILD=$(realpath "$1")
source "$(dirname "$0")/wine-lib.sh"

rm -rf "$WINE_ROOT"
mkdir -p "$WINE_ROOT"
start_display
export WINEPREFIX=$WINE_ROOT/plain
wineboot -i
cjk='wqy-microhei.ttc,WenQuanYi Micro Hei'
for font in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' 'MS Sans Serif'; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$font" /t REG_MULTI_SZ /d "$cjk" /f >/dev/null
done
# Wine draws the caption buttons with Marlett; give the prefix the copy
# that Debian's fonts-wine ships, where it is found.
if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
wineserver -w

cp -a "$WINE_ROOT/plain" "$WINE_ROOT/desktop"
export WINEPREFIX=$WINE_ROOT/desktop
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
wineserver -w
echo "prefixes ready under $WINE_ROOT"

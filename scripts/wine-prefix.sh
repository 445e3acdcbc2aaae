#!/usr/bin/env bash
# Prepares the Wine prefix of a Windows build folder once: a virtual desktop (without a window
# manager every top-level window costs seconds to close) and the fonts dialogs are laid out with.
set -euo pipefail
build=$(cd "${1:?usage: wine-prefix.sh BUILD_DIR}" && pwd)
export WINEDEBUG=-all WINEARCH=win64 WINEPREFIX="$build/wineprefix"
[ -f "$WINEPREFIX/.torvex-ready" ] && exit 0
echo "Preparing Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
unset DISPLAY
wine wineboot -i </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf; do
  [ -f "$f" ] && cp -f "$f" "$fonts/"
done
wineserver -w
touch "$WINEPREFIX/.torvex-ready"

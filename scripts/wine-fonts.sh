#!/usr/bin/env bash
# Copies Wine's own fonts (fonts-wine) into a prefix's C:\windows\Fonts:
# Debian's Wine does not find them where they are installed, and without
# Marlett every caption button shows as "0 1 r".
#
#   wine-fonts.sh WINEPREFIX
set -euo pipefail
fonts="$1/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp /usr/share/wine/fonts/*.ttf "$fonts/"

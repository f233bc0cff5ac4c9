#!/usr/bin/env bash
# Draws the start button's pictures and the program icon into this folder.
# The results are committed, so building needs none of this; run it again
# after changing a picture. Needs ImageMagick and Debian's fonts-dejavu-core.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# button WORD FRAME_COLOUR FILE: 155 x 66, 24 bits per pixel, no alpha.
button() {
  convert -size 155x66 xc:'#f0f0f0' \
    -fill none -stroke "$2" -strokewidth 6 -draw 'roundrectangle 4,4 150,61 10,10' \
    -stroke none -fill '#202020' -font "$font" -pointsize 28 -gravity center -annotate +0+0 "$1" \
    -type TrueColor -define bmp:format=bmp3 -compress None "BMP3:$3"
}
button 'СТАРТ' '#d01818' start.bmp
button 'стоп' '#e8c000' stop_wait.bmp
button 'стоп' '#18a030' stop_fix.bmp

# The icon: a route line with a marker on a blue disc, at 16, 32 and 48 pixels.
icon_layer() {
  local s=$1
  convert -size 96x96 xc:none \
    -fill '#1080e0' -draw 'circle 48,48 48,4' \
    -fill none -stroke white -strokewidth 7 -draw 'polyline 20,72 40,52 56,60 76,28' \
    -stroke none -fill '#e02020' -draw 'circle 76,28 76,16' \
    -resize "${s}x${s}" "png32:icon$s.png"
}
for s in 16 32 48; do icon_layer "$s"; done
convert icon16.png icon32.png icon48.png rovelog.ico
rm -f icon16.png icon32.png icon48.png

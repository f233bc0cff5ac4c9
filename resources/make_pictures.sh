#!/usr/bin/env bash
# Draws the start button's pictures and the program icon into this folder.
# The results are committed, so building needs none of this; run it again
# after changing a picture. Needs ImageMagick and Debian's fonts-dejavu-core.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# button WORD FRAME_COLOUR FILE [PERCENT]: 155 x 66 at 100 % (96 DPI), every
# figure scaled for the larger sizes; 24 bits per pixel, no alpha.
# at PIXELS PERCENT: the figure at that size, rounded to a whole pixel.
at() { awk -v v="$1" -v p="$2" 'BEGIN { print int(v * p / 100 + 0.5) }'; }
button() {
  local p=${4:-100} w h
  w=$(at 155 "$p"); h=$(at 66 "$p")
  convert -size "${w}x${h}" xc:'#f0f0f0' \
    -fill none -stroke "$2" -strokewidth "$(at 6 "$p")" \
    -draw "roundrectangle $(at 4 "$p"),$(at 4 "$p") $((w - $(at 5 "$p"))),$((h - $(at 5 "$p"))) $(at 10 "$p"),$(at 10 "$p")" \
    -stroke none -fill '#202020' -font "$font" -pointsize "$(at 28 "$p")" -gravity center -annotate +0+0 "$1" \
    -type TrueColor -define bmp:format=bmp3 -compress None "BMP3:$3"
}
for p in 100 125 150 200; do
  suffix=$([ "$p" = 100 ] || echo "_$p")
  button 'СТАРТ' '#d01818' "start$suffix.bmp" "$p"
  button 'стоп' '#e8c000' "stop_wait$suffix.bmp" "$p"
  button 'стоп' '#18a030' "stop_fix$suffix.bmp" "$p"
done

# The icon: a route line with a marker on a blue disc, in every size the
# window and its icon control take from 96 to 192 DPI.
icon_layer() {
  local s=$1
  convert -size 96x96 xc:none \
    -fill '#1080e0' -draw 'circle 48,48 48,4' \
    -fill none -stroke white -strokewidth 7 -draw 'polyline 20,72 40,52 56,60 76,28' \
    -stroke none -fill '#e02020' -draw 'circle 76,28 76,16' \
    -resize "${s}x${s}" "png32:$s.png"
}
sizes=(16 20 24 32 40 48 64)
for s in "${sizes[@]}"; do icon_layer "$s"; done
convert "${sizes[@]/%/.png}" rovelog.ico
for s in "${sizes[@]}"; do rm -f "$s.png"; done

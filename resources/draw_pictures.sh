#!/bin/sh
# Draws the theme pictures with ImageMagick; run by hand when they change, the results are committed.
set -e
cd "$(dirname "$0")/themes"
convert -size 32x32 xc:none -fill '#2e8b57' -stroke '#1d5c39' -strokewidth 1 \
  -draw 'polygon 9,5 27,16 9,27' play.png
convert -size 32x32 xc:none -fill '#c0392b' -stroke '#7f241b' -strokewidth 1 \
  -draw 'roundrectangle 7,7 25,25 3,3' stop.png
convert -size 32x32 xc:none -fill '#ffffff' -stroke '#4a6b8a' -strokewidth 2 \
  -draw 'rectangle 3,6 23,24' -fill '#2e8b57' -stroke none \
  -draw 'rectangle 21,14 25,30' -draw 'rectangle 15,20 31,24' add.png
convert -size 32x32 xc:none -fill '#ffffff' -stroke '#4a6b8a' -strokewidth 2 \
  -draw 'rectangle 3,6 23,24' -stroke '#c0392b' -strokewidth 4 \
  -draw 'line 17,18 29,30' -draw 'line 29,18 17,30' delete.png
convert -size 256x256 xc:none \
  -fill '#b0dfe3' -stroke '#3a6f7a' -strokewidth 8 -draw 'roundrectangle 24,40 184,200 16,16' \
  -fill '#7fc4cc' -draw 'roundrectangle 48,60 208,220 16,16' \
  -fill '#ffffff' -draw 'roundrectangle 72,80 232,240 16,16' \
  -fill '#2e8b57' -stroke none -draw 'polygon 122,118 196,160 122,202' logo.png
convert logo.png -define icon:auto-resize=256,48,32,16 application.ico
convert logo.png -resize 96x96 logo.png

#!/bin/sh
# Draws the theme pictures with ImageMagick and librsvg; run by hand when they change, the results are committed.
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
# The application icon: one drawing for the window, the About box and the desktop's icon theme.
icon=../../packaging/icons/com.quintrel.Tavelle.svg
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w $size -h $size "$icon" -o ../../packaging/icons/${size}x${size}.png
done
rsvg-convert -w 96 -h 96 "$icon" -o logo.png
convert ../../packaging/icons/16x16.png ../../packaging/icons/32x32.png ../../packaging/icons/48x48.png \
  ../../packaging/icons/256x256.png application.ico

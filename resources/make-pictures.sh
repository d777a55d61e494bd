#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick. The PNGs are committed; run this only to
# change them.
set -euo pipefail
cd "$(dirname "$0")"

# The product picture: a chamber in side view over a dusk gradient.
convert -size 250x171 gradient:'#1d3557'-'#e9c46a' \
  -fill none -stroke '#f1faee' -strokewidth 3 \
  -draw "polyline 12,78 52,78 112,52 150,52 196,80 238,80" \
  -draw "polyline 12,98 52,98 112,124 150,124 196,96 238,96" \
  -draw "line 12,78 12,98" -draw "line 238,80 238,96" \
  -stroke '#e63946' -strokewidth 1 -draw "line 6,88 244,88" \
  -stroke none -fill '#f1faee' -font DejaVu-Sans-Bold -pointsize 20 \
  -draw "text 62,160 'Velmorant'" PNG24:velmorant.png
convert velmorant.png -resize 150x102! PNG24:about.png

# The window icon: the chamber on a dark square.
convert -size 32x32 xc:'#1d3557' -fill none -stroke '#f1faee' -strokewidth 2 \
  -draw "polyline 2,13 8,13 15,9 21,9 27,14 30,14" \
  -draw "polyline 2,19 8,19 15,23 21,23 27,18 30,18" PNG32:icon.png

mkdir -p toolbar
# Open: a folder with a curved arrow.
convert -size 16x16 xc:none -fill '#e9c46a' -stroke '#7a5c12' \
  -draw "rectangle 1,5 12,14" -draw "polygon 1,5 4,3 7,3 8,5" \
  -fill none -stroke '#1d3557' -draw "arc 8,1 15,9 180,300" -draw "line 14,2 14,5" PNG32:toolbar/open.png
# Save: a diskette.
convert -size 16x16 xc:none -fill '#1d3557' -stroke '#0b1a2e' -draw "rectangle 1,1 14,14" \
  -fill '#f1faee' -stroke none -draw "rectangle 4,2 11,6" -fill '#a8dadc' \
  -draw "rectangle 4,10 11,14" PNG32:toolbar/save.png
# Print: a printer.
convert -size 16x16 xc:none -fill '#f1faee' -stroke '#333333' -draw "rectangle 4,1 11,6" \
  -fill '#9a9a9a' -draw "rectangle 1,6 14,12" -fill '#f1faee' -draw "rectangle 4,10 11,15" \
  PNG32:toolbar/print.png
# Help: a question mark.
convert -size 16x16 xc:none -fill '#1d3557' -stroke none -draw "circle 8,8 8,1" \
  -fill '#f1faee' -font DejaVu-Sans-Bold -pointsize 12 -draw "text 4.5,13 '?'" PNG32:toolbar/help.png

# The desktop icons, from their SVG sources in dist/icons, at the sizes of the hicolor theme.
for size in 16 32 48 64 128 256; do
  mkdir -p ../dist/icons/$size
  rsvg-convert -w $size -h $size ../dist/icons/example.velmorant.Velmorant.svg \
    -o ../dist/icons/$size/example.velmorant.Velmorant.png
  rsvg-convert -w $size -h $size ../dist/icons/application-x-velmorant-design.svg \
    -o ../dist/icons/$size/application-x-velmorant-design.png
  rsvg-convert -w $size -h $size ../dist/icons/application-x-velmorant-project.svg \
    -o ../dist/icons/$size/application-x-velmorant-project.png
done

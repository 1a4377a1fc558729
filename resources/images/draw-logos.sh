#!/bin/sh
# Draws the two logo JPEGs of the program, each also at twice the size (NAME@2x.jpg) for
# screens scaled to 150 % and more, and the desktop icon (256 and 512 pixels) from the
# square logo. Drawn at four times the size and scaled down for smooth edges. Needs
# ImageMagick and the DejaVu fonts.
#
# Usage: draw-logos.sh [IMAGES_FOLDER [DESKTOP_FOLDER]]
set -eu
out=${1:-$(dirname "$0")}
desktop=${2:-$out/../desktop}
navy='#091452'
accent='#4F9BE0'
bold=DejaVu-Sans-Bold
book=DejaVu-Sans

# Square logo, 243 x 243: three screens on a raster above the "Z&Q" mark. The desktop
# icon is the same drawing, without JPEG's compression.
convert -size 972x972 xc:white \
    -fill "$navy" -draw "roundrectangle 24,24 947,947 120,120" \
    -stroke '#1E2C73' -strokewidth 4 \
    -draw "line 160,150 160,500" -draw "line 320,150 320,500" -draw "line 480,150 480,500" \
    -draw "line 640,150 640,500" -draw "line 800,150 800,500" \
    -draw "line 120,190 852,190" -draw "line 120,310 852,310" -draw "line 120,430 852,430" \
    -stroke none \
    -fill white -draw "roundrectangle 176,206 464,414 14,14" \
    -fill "$navy" -draw "rectangle 196,226 444,394" \
    -fill "$accent" -draw "roundrectangle 496,206 784,294 14,14" \
    -fill white -draw "roundrectangle 496,326 784,414 14,14" \
    -fill "$navy" -draw "rectangle 516,346 764,394" \
    -fill white -font "$bold" -pointsize 260 -gravity north -annotate +0+470 'Z&Q' \
    -fill "$accent" -font "$book" -pointsize 64 -kerning 22 -annotate +0+780 'TECHNIK' \
    \( +clone -resize 512x512 -strip -depth 8 -write "$desktop/corvanecfg@2x.png" +delete \) \
    \( +clone -resize 256x256 -strip -depth 8 -write "$desktop/corvanecfg.png" +delete \) \
    \( +clone -resize 486x486 -quality 92 -write "$out/ZQ_Logo_technik_Quadrat@2x.jpg" +delete \) \
    -resize 243x243 -quality 92 "$out/ZQ_Logo_technik_Quadrat.jpg"

# Banner, 131 x 61: a small square mark and the company name.
convert -size 524x244 xc:white \
    -fill "$navy" -draw "roundrectangle 16,30 200,214 30,30" \
    -fill white -draw "roundrectangle 42,66 112,146 8,8" \
    -fill "$navy" -draw "rectangle 52,76 102,136" \
    -fill "$accent" -draw "roundrectangle 124,66 174,100 8,8" \
    -fill white -draw "roundrectangle 124,112 174,146 8,8" \
    -fill "$navy" -draw "rectangle 134,122 164,136" \
    -fill white -draw "rectangle 42,166 174,174" \
    -fill "$navy" -font "$bold" -pointsize 96 -gravity northwest -annotate +222+36 'Z&Q' \
    -fill '#505a78' -font "$book" -pointsize 40 -annotate +224+150 'Schalttechnik' \
    \( +clone -resize 262x122! -quality 92 -write "$out/ZQ_Redaz_logo_RGB_klein@2x.jpg" +delete \) \
    -resize 131x61! -quality 92 "$out/ZQ_Redaz_logo_RGB_klein.jpg"

#!/usr/bin/env bash
# Draws the window's icons with ImageMagick. The generated files are committed; run this only
# to change them:  src/frame/win32/make_images.sh
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Application icon: a silver disc with a blue ring and an orange arrow into a box (a backup).
for s in 16 32 48; do
  convert -size 48x48 xc:none \
    -fill '#c8ccd4' -stroke '#3a5ea8' -strokewidth 3 -draw 'circle 24,24 24,3' \
    -fill none -stroke '#7f96c8' -strokewidth 1 -draw 'circle 24,24 24,10' \
    -fill '#f0f0f0' -stroke '#3a5ea8' -strokewidth 2 -draw 'circle 24,24 24,19' \
    -fill '#f08a24' -stroke '#9c4f08' -strokewidth 1 \
    -draw 'polygon 30,26 46,26 46,34 40,34 40,44 36,44 36,34 30,34' \
    -resize ${s}x${s} "$tmp/app_$s.png"
done
convert "$tmp/app_16.png" "$tmp/app_32.png" "$tmp/app_48.png" ravlo3.ico

# Title-information lamp: lit (a title is loaded) and unlit.
lamp() {  # name, face colour, rim colour, highlight colour
  for s in 16 32 48; do
    convert -size 48x48 xc:none \
      -fill "$2" -stroke "$3" -strokewidth 3 -draw 'circle 24,24 24,5' \
      -fill "$4" -stroke none -draw 'ellipse 18,17 7,5 0,360' \
      -resize ${s}x${s} "$tmp/$1_$s.png"
  done
  convert "$tmp/$1_16.png" "$tmp/$1_32.png" "$tmp/$1_48.png" "$1.ico"
}
lamp info_on '#2fbf3a' '#17661d' '#b8f5bc'
lamp info_off '#8a8f96' '#4a4e54' '#c4c8cc'

#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the binary test data in this folder. Run it by hand when the data must change and
# commit what it writes; the build and CI only read the files.
# Needs: ImageMagick (convert), sox, python3.
set -eu
cd "$(dirname "$0")"

# --- Plain pictures: one colour or a pattern, as the file kinds the pickers take.
convert -size 32x32 xc:blue blue.ico
convert -size 32x32 xc:red red.ico
# A cursor file is an icon file whose type field (bytes 2-3) says 2.
python3 binary.py cursor-from-icon red.ico red.cur
convert -size 64x64 xc:red BMP3:red.bmp
convert -size 800x600 plasma:fractal -seed 7 -quality 90 pattern.jpg
for c in green blue; do
    convert -size 32x32 xc:$c $c-cursor.ico
    python3 binary.py cursor-from-icon $c-cursor.ico $c.cur
    rm $c-cursor.ico
done
# Red, green and blue, a sixth of a second each.
python3 binary.py animated busy.ani 10 red.cur green.cur blue.cur

# --- window
# A cursor with transparent parts: a red square in the middle of a clear 32x32 field.
convert -size 32x32 xc:none -fill red -draw "rectangle 8,8 23,23" spot-cursor.ico
python3 binary.py cursor-from-icon spot-cursor.ico spot.cur
rm spot-cursor.ico

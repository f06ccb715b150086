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

# --- Theme output: an icon whose one image is PNG-compressed, as ImageMagick stores 256x256.
convert -size 256x256 xc:red png.ico

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
convert -seed 7 -size 800x600 plasma:fractal -quality 90 pattern.jpg
for c in green blue; do
    convert -size 32x32 xc:$c $c-cursor.ico
    python3 binary.py cursor-from-icon $c-cursor.ico $c.cur
    rm $c-cursor.ico
done
# Red, green and blue, a sixth of a second each.
python3 binary.py animated busy.ani 10 red.cur green.cur blue.cur

# An icon Windows 95/98 draw as it is: an 8-bit 32x32 and a 4-bit 16x16 image.
convert \( -size 32x32 gradient:red-blue \) \( -size 16x16 gradient:red-blue \) -colors 200 \
    -type palette clean.ico

# --- Theme output: an icon whose one image is PNG-compressed, as ImageMagick stores 256x256.
convert -size 256x256 xc:red png.ico

# --- waves
# The references: tones starting at a peak (so the first frame is never silence), 5000 frames
# in the sound device's own format (44.1 kHz, 16-bit) in stereo, and in mono.
sox -D -r 44100 -n -r 44100 -b 16 -c 2 tones.wav synth 5000s sine 330 0 25 sine 660 0 25 vol 0.6
sox -D -r 44100 -n -r 44100 -b 16 -c 1 tones-mono.wav synth 5000s sine 330 0 25 sine 1023 0 25 vol 0.6
# The same sound in every encoding a preview plays.
sox -D tones-mono.wav -b 8 -e unsigned tones-u8.wav
sox -D tones-mono.wav -e ms-adpcm tones-msadpcm.wav
sox -D tones-mono.wav -e ima-adpcm tones-imaadpcm.wav
sox -D tones.wav -e u-law tones-ulaw.wav
sox -D tones-mono.wav -e a-law tones-alaw.wav
sox -D tones-mono.wav -e gsm-full-rate tones-gsm.wav
# 8 kHz 8-bit tones wholly above (high) or below (low) the silence value, so silence and the
# two sounds never look alike after any conversion; the high one twenty minutes long.
sox -D -r 8000 -n -r 8000 -b 8 -e unsigned -c 1 high.wav synth 1 sine 200 vol 0.25 dcshift 0.5
sox -D -r 8000 -n -r 8000 -b 8 -e unsigned -c 1 low.wav synth 0.4 sine 900 vol 0.25 dcshift -0.5
python3 binary.py wave-repeat high.wav long.wav 1200
python3 binary.py qz long.wav long.wav.qz
rm high.wav long.wav

# --- bitmaps
# Bitmaps of four quadrants in every depth, big enough to be read a row at a time, and a
# 1-bit one past Qt's allocation limit; plain blue and green ones big enough to be decoded on
# a worker. Stored as qCompress writes them (.qz): the tests unpack them into their folder.
for bits in 1 4 8 16 24 32; do
    python3 binary.py quadrants quadrants-$bits.bmp 1502 1500 $bits
done
python3 binary.py quadrants huge.bmp 12000 12000 1
convert -size 800x600 xc:blue BMP3:big-blue.bmp
convert -size 800x600 xc:lime BMP3:big-green.bmp
for f in quadrants-*.bmp huge.bmp big-blue.bmp big-green.bmp; do
    python3 binary.py qz $f $f.qz
    rm $f
done
# 320 x 400 palette stripes as splash logos write them: 4 and 8 bits, run-length or not, OS/2.
for bits in 4 8; do
    python3 binary.py striped stripes-$bits.bmp $bits plain
    python3 binary.py striped stripes-rle$bits.bmp $bits rle
done
python3 binary.py striped stripes-os2.bmp 8 os2
python3 binary.py overflow overflow.bmp
# Found by fuzzing: run-length data that Qt decodes to palette indices beyond the table.
python3 binary.py hex fuzzed-rle.bmp \
    424d960000000000000076000000280000000800000004000000010004000200000020000000130b0000130b \
    0000100000000000000000000000000000000000000000000000000000000000000000000000000000000000 \
    000000000000000000000000000000000200010008080000000000000000000000000000000004122e000000 \
    0100f800180000001600000089504e470d0a1a0a000000000000000000000000043456000004120004345600 \
    010412000400000034560000041200000434560001
# 4 x 3 run-length bitmaps, colour 0 red and 1 blue, whose bottom row is blue and which end by
# end-of-line codes only, no end code:
python3 binary.py hex rle-rows.bmp \
    424d4a000000000000003e00000028000000040000000300000001000800010000000c000000000000000000 \
    000002000000000000000000ff00ff000000040100000401000004010000
# two moves a row down, the second past the last row:
python3 binary.py hex rle-move.bmp \
    424d4a000000000000003e00000028000000040000000300000001000800010000000c000000000000000000 \
    000002000000000000000000ff00ff000000040100000002000100020001
# 4-bit, a literal run, then the end code:
python3 binary.py hex rle4-literal.bmp \
    424d44000000000000003e000000280000000400000003000000010004000200000006000000000000000000 \
    000002000000000000000000ff00ff000000000410010001
# One bit per pixel with a one-colour table (blue): the first four pixels use the missing colour.
python3 binary.py hex one-colour-mono.bmp \
    424d3e000000000000003a000000280000000800000001000000010001000000000004000000000000000000 \
    00000100000000000000ff000000f0000000
# Not a bitmap or a JPEG inside, whatever its name says.
convert -size 8x8 xc:red red.png

# --- cursors
convert -size 16x16 xc:red -size 48x48 xc:lime -size 32x32 xc:blue multi.ico
# Inverting I-beams over a transparent ground with an opaque square: 1, 4 and 8 bits.
python3 binary.py palette-cursor beam1.cur 1 0 000000 ffffff
python3 binary.py palette-cursor beam4.cur 4 2 000000 ffffff c81e28
python3 binary.py palette-cursor beam8.cur 8 2 000000 ffffff 0a5afa
python3 binary.py inverting invert.cur
python3 binary.py ani invert.ani invert.cur
# Animated cursors: play orders and rates, then headers and chunks that lie.
rgb="red.cur green.cur blue.cur"
python3 binary.py ani ani-rate7.ani $rgb rate=7
python3 binary.py ani ani-rates.ani $rgb rates=5,20,40
python3 binary.py ani ani-seq.ani $rgb seq=2,0,2,1 rates=3,6,9,12
python3 binary.py ani ani-seq-rate4.ani $rgb seq=1,1,0 rate=4
python3 binary.py ani ani-huge-counts.ani $rgb frames=2147483647 steps=2147483647
python3 binary.py ani ani-two-claimed.ani $rgb frames=2
python3 binary.py ani ani-bad-seq.ani $rgb seq=0,9,4294967295,2
python3 binary.py ani ani-extreme-rates.ani $rgb rates=0,4294967295,30
python3 binary.py ani ani-not-icon.ani red.cur junk blue.cur
python3 binary.py ani ani-raw-frames.ani $rgb flags=0
python3 binary.py ani ani-riff-size.ani $rgb riff=4294967280
python3 binary.py ani ani-list-size.ani $rgb list=4294967280
python3 binary.py ani ani-icon-size.ani $rgb icon2=4294967280
python3 binary.py ani ani-short-header.ani $rgb anih=8
# --- window
# A cursor with transparent parts: a red square in the middle of a clear 32x32 field.
convert -size 32x32 xc:none -fill red -draw "rectangle 8,8 23,23" spot-cursor.ico
python3 binary.py cursor-from-icon spot-cursor.ico spot.cur
rm spot-cursor.ico

# --- Wallpapers a scheme is made from: plasma clouds, gradients, flat colours, black, white.
mkdir -p wallpapers
n=0
wall() {
    n=$((n + 1))
    convert "$@" -strip "wallpapers/wall-$(printf %02d $n).png"
}
for seed in 1 2 3 4 5 6 7 8; do wall -seed $seed -size 32x32 plasma:fractal; done
wall -seed 9 -size 32x32 plasma:red-yellow
wall -seed 10 -size 32x32 plasma:navy-lime
wall -seed 11 -size 32x32 plasma:black-white
wall -size 32x32 gradient:red-blue
wall -size 32x32 gradient:white-black
wall -size 32x32 gradient:yellow-navy
wall -size 32x32 radial-gradient:orange-purple
wall -size 32x32 gradient:#808080-#8a8a8a
wall -size 8x8 xc:#3a6ea5
wall -size 8x8 xc:black
wall -size 8x8 xc:white
wall -size 8x8 xc:#777777

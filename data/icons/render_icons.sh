#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the hicolor PNG sizes from the hand-drawn SVG. The PNGs are committed, so a build
# needs no SVG renderer; run this again after changing the drawing (needs rsvg-convert, from
# librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
id=org.example.skinsmith
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert --width "$size" --height "$size" --format png --output "$size/$id.png" "$id.svg"
done

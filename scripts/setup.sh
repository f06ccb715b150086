#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages Skinsmith needs to build, run and test.
# Skips what is installed; uses apt-get as root or through sudo otherwise.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsdl2-dev libsndfile1-dev
    # Conversions for Windows 95/98: the resampler, the image plugins (WebP, SVG, TIFF) that
    # read modern pictures, and the tools the tests make and judge files with.
    libsamplerate0-dev qt6-image-formats-plugins libqt6svg6 imagemagick sox libsox-fmt-all
    libgtest-dev
    xvfb xauth x11-utils xdotool
    # What a screen reader hears, read over AT-SPI in a private D-Bus session.
    at-spi2-core python3-pyatspi dbus dbus-x11
    clang-format clang-tidy
    # The sanitizer runtime and libFuzzer (make fuzz).
    clang libclang-rt-dev
    # Desktop integration and the Debian package, and the tools their tests check them with.
    desktop-file-utils appstream shared-mime-info libglib2.0-bin file
    dpkg-dev
    fonts-dejavu-core fonts-liberation2
    # Export: libarchive writes zip packs and CD images, mtools writes into disk images; the
    # export tests check them with unzip, xorriso, dosfstools and fdisk (sfdisk).
    libarchive-dev mtools unzip libarchive-tools xorriso dosfstools fdisk
    # The faces Windows 98 drew with, for the preview (theme packs use libarchive above).
    fonts-wine
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run=()
elif command -v sudo >/dev/null 2>&1; then
    run=(sudo)
else
    echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRgb>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compat/Check.h"
#include "state/ThemeState.h"

namespace compat {

/// A converted copy: the file name it gets in the theme folder and its bytes.
struct Converted {
    std::string name;
    std::string bytes;
};

/// The converted copy's name: the source's base name with the extension of the new format
/// ("wall.png" gives "wall.bmp"); a name already carrying it is kept.
std::string convertedName(std::string_view fileName, Conversion conversion);

/// Converts the file at a host path for Windows 95 and 98. `fileName` is the source's name
/// (its base name is kept); `background` is the theme's Background colour, which
/// semi-transparent icon edges are blended on. Reads the source only; nullopt with the reason
/// in `why` when the source cannot be decoded.
std::optional<Converted> convertFile(Conversion conversion, const std::filesystem::path& source,
                                     std::string_view fileName, state::Color background,
                                     std::string* why = nullptr);

// The pieces, for the tests and the benchmark.

/// Up to maxColours colours that stand for the opaque pixels of `image` (median cut: the box
/// of colours with the widest channel is split at its median until there are enough boxes;
/// each box gives its mean). Every distinct colour is kept when there are few enough.
std::vector<QRgb> medianCut(const QImage& image, int maxColours);

/// An icon (or cursor) file of 32x32 and 16x16 images at 4 and 8 bits, each with an AND mask:
/// alpha at or above one half is opaque, semi-transparent pixels are blended on `background`.
std::string icoFile(const QImage& picture, QRgb background);
/// A cursor file of one 32x32 image at 8 bits with the hot spot given (in 32x32 pixels).
std::string curFile(const QImage& picture, QPoint hotspot);
/// An uncompressed 24-bit bitmap file.
std::string bmp24File(const QImage& picture);
/// An uncompressed 8-bit bitmap file with the picture's own palette of up to 256 colours.
std::string bmp8File(const QImage& picture);
/// The picture placed on a 320x400 black logo so it looks right on the 4:3 boot screen, whose
/// pixels are shown 2 wide and 1.2 high.
QImage logoPicture(const QImage& picture);
/// Sound frames (interleaved 16-bit) as a wave file of PCM at the rate given.
std::string waveFile(const std::vector<short>& frames, int channels, int rate);

}  // namespace compat

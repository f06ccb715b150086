// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

#include "schemes/Schemes.h"

// A readable scheme made from a wallpaper's colours.
namespace schemes {

/// A colour and the share of the picture's pixels it stands for (0 to 1).
struct DominantColor {
    state::Color color;
    double share;
};

/// The dominant colours of a picture's pixels by median cut: the pixels are split into at
/// most `count` boxes, each time cutting the box with the widest channel range at the median
/// of that channel (moved to the edge of the median's run of equal values, so one colour is
/// never split); each box gives its mean colour. Most common first; empty for no pixels.
std::vector<DominantColor> dominantColors(const std::vector<state::Color>& pixels,
                                          std::size_t count);

/// A scheme from a wallpaper's pixels (a small scaled copy is plenty): title bars and the
/// selection from the most saturated dominant colour, faces from a muted tone of the most
/// common one, the 3-D shades from the face as the classic schemes derive them, and every
/// text colour moved in lightness until its pair reads (kReadablePairs). No pixels give a
/// scheme made from mid grey.
Colors schemeFromWallpaper(const std::vector<state::Color>& pixels);

}  // namespace schemes

// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>

#include "schemes/SchemeTable.h"
#include "state/ThemeState.h"

// Colour schemes: the preset table read into the colour list's order.
namespace schemes {

using Colors = std::array<state::Color, state::kColorCount>;

/// The colours Windows 98 added to a scheme. The theme does not hold them yet; they are kept
/// here so a scheme can hand them over once it does.
struct Windows98Colors {
    state::Color buttonAlternateFace = 0;
    state::Color hotTracking = 0;
    state::Color gradientActiveTitle = 0;
    state::Color gradientInactiveTitle = 0;
};

/// For each colour slot (the colour list's order), its index in a scheme's registry record.
inline constexpr std::array<std::size_t, state::kColorCount> kRegistryIndexOfSlot = {
    10, 2, 12, 1, 21, 15, 20, 22, 16, 18, 17, 13, 14, 11, 3, 19, 23, 24, 4, 7, 0, 9, 5, 6, 8};

/// A scheme's 25 colours, by colour slot.
Colors colorsOf(const SchemeData& scheme);
/// A scheme's Windows 98 colours.
Windows98Colors windows98ColorsOf(const SchemeData& scheme);

}  // namespace schemes

// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "schemes/Schemes.h"

// Readability of a scheme: WCAG 2 contrast ratios of its text and background pairs, and the
// nearest text colour that reaches a pair's ratio.
namespace schemes {

/// A text colour and the colour it is drawn on, by colour slot, and the ratio it needs.
struct ReadablePair {
    std::size_t text;
    std::size_t background;
    double minimum;
};

/// The pairs a scheme must keep readable: 4.5:1 for text, 3:1 for disabled text.
inline constexpr std::array<ReadablePair, 8> kReadablePairs = {{
    {24, 22, 4.5},  // WindowText on Window
    {19, 18, 4.5},  // MenuText on Menu
    {21, 1, 4.5},   // TitleText on ActiveTitle
    {15, 14, 4.5},  // InactiveTitleText on InactiveTitle
    {12, 11, 4.5},  // HilightText on Hilight
    {9, 5, 4.5},    // ButtonText on ButtonFace
    {16, 17, 4.5},  // InfoText on InfoWindow
    {10, 5, 3.0},   // GrayText on ButtonFace
}};

/// Hue in degrees [0, 360), saturation and lightness in [0, 1].
struct Hsl {
    double hue = 0;
    double saturation = 0;
    double lightness = 0;
};
Hsl toHsl(state::Color color);
state::Color fromHsl(const Hsl& hsl);

/// WCAG 2 relative luminance, 0 (black) to 1 (white).
double relativeLuminance(state::Color color);
/// WCAG 2 contrast ratio of two colours, 1 to 21, in either order.
double contrastRatio(state::Color a, state::Color b);

/// The colour nearest `text` in lightness (hue and saturation kept) that reaches `minimum`
/// against `background`; `text` itself when it already does. Black or white always reach
/// 4.58:1 against any colour, so a ratio up to that is always found.
state::Color readableText(state::Color text, state::Color background, double minimum);

/// A pair under its ratio, with the text colour that would fix it.
struct ContrastProblem {
    ReadablePair pair;
    double ratio;
    state::Color suggestion;
};
/// The pairs of these colours under their ratio, in kReadablePairs order.
std::vector<ContrastProblem> contrastProblems(const Colors& colors);

}  // namespace schemes

// SPDX-License-Identifier: MIT
#include "schemes/Contrast.h"

#include <algorithm>
#include <cmath>

namespace schemes {

namespace {
double channel(std::uint32_t value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::uint32_t toByte(double value) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

double hueChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 1.0 / 2) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}
}  // namespace

Hsl toHsl(state::Color color) {
    const double r = state::red(color) / 255.0;
    const double g = state::green(color) / 255.0;
    const double b = state::blue(color) / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    Hsl hsl;
    hsl.lightness = (high + low) / 2;
    const double range = high - low;
    if (range <= 0) return hsl;
    hsl.saturation = range / (1 - std::abs(2 * hsl.lightness - 1));
    double hue = 0;
    if (high == r)
        hue = std::fmod((g - b) / range, 6.0);
    else if (high == g)
        hue = (b - r) / range + 2;
    else
        hue = (r - g) / range + 4;
    hsl.hue = std::fmod(hue * 60 + 360, 360.0);
    return hsl;
}

state::Color fromHsl(const Hsl& hsl) {
    const double l = std::clamp(hsl.lightness, 0.0, 1.0);
    const double s = std::clamp(hsl.saturation, 0.0, 1.0);
    if (s <= 0) return state::rgb(toByte(l), toByte(l), toByte(l));
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const double h = hsl.hue / 360.0;
    return state::rgb(toByte(hueChannel(p, q, h + 1.0 / 3)), toByte(hueChannel(p, q, h)),
                      toByte(hueChannel(p, q, h - 1.0 / 3)));
}

double relativeLuminance(state::Color color) {
    return 0.2126 * channel(state::red(color)) + 0.7152 * channel(state::green(color)) +
           0.0722 * channel(state::blue(color));
}

double contrastRatio(state::Color a, state::Color b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

state::Color readableText(state::Color text, state::Color background, double minimum) {
    if (contrastRatio(text, background) >= minimum) return text;
    Hsl hsl = toHsl(text);
    const double start = hsl.lightness;
    // Step the lightness both ways, one 8-bit level at a time; the first colour that reads
    // wins. Darker text on a light background is tried first at equal distance, and the
    // other way round, so the text keeps its side of the background.
    const bool darkerFirst = relativeLuminance(text) <= relativeLuminance(background);
    // Past either end the step is held at black or white, which always ends the search.
    for (int step = 1; step <= 256; ++step) {
        for (const double sign : {darkerFirst ? -1.0 : 1.0, darkerFirst ? 1.0 : -1.0}) {
            hsl.lightness = std::clamp(start + sign * step / 255.0, 0.0, 1.0);
            const state::Color candidate = fromHsl(hsl);
            if (contrastRatio(candidate, background) >= minimum) return candidate;
        }
    }
    // Unreachable for ratios up to 4.58: black or white reads on anything.
    const state::Color black = state::rgb(0, 0, 0);
    const state::Color white = state::rgb(255, 255, 255);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

std::vector<ContrastProblem> contrastProblems(const Colors& colors) {
    std::vector<ContrastProblem> problems;
    for (const ReadablePair& pair : kReadablePairs) {
        const state::Color text = colors[pair.text];
        const state::Color background = colors[pair.background];
        const double ratio = contrastRatio(text, background);
        if (ratio < pair.minimum)
            problems.push_back({pair, ratio, readableText(text, background, pair.minimum)});
    }
    return problems;
}

}  // namespace schemes

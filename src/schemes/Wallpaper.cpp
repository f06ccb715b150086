// SPDX-License-Identifier: MIT
#include "schemes/Wallpaper.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "schemes/Contrast.h"

namespace schemes {

namespace {

using Box = std::vector<state::Color>;

std::uint32_t channelOf(state::Color color, int channel) {
    return channel == 0   ? state::red(color)
           : channel == 1 ? state::green(color)
                          : state::blue(color);
}

// The channel with the widest range in a box, and that range.
std::pair<int, std::uint32_t> widestChannel(const Box& box) {
    int widest = 0;
    std::uint32_t widestRange = 0;
    for (int channel = 0; channel < 3; ++channel) {
        std::uint32_t low = 255;
        std::uint32_t high = 0;
        for (const state::Color c : box) {
            low = std::min(low, channelOf(c, channel));
            high = std::max(high, channelOf(c, channel));
        }
        if (high >= low && high - low > widestRange) {
            widest = channel;
            widestRange = high - low;
        }
    }
    return {widest, widestRange};
}

state::Color meanOf(const Box& box) {
    std::array<std::uint64_t, 3> sums{};
    for (const state::Color c : box)
        for (int channel = 0; channel < 3; ++channel) sums[channel] += channelOf(c, channel);
    const std::uint64_t n = box.size();
    return state::rgb(static_cast<std::uint32_t>((sums[0] + n / 2) / n),
                      static_cast<std::uint32_t>((sums[1] + n / 2) / n),
                      static_cast<std::uint32_t>((sums[2] + n / 2) / n));
}

// The classic schemes' 3-D shades, measured on Windows Standard, Brick and Rainy Day: the
// highlight halves the face's distance to white in lightness, the shadow keeps two thirds of
// its lightness, the light is the face itself and the dark shadow black.
state::Color lighter(const Hsl& face) {
    return fromHsl({face.hue, face.saturation, face.lightness + (1 - face.lightness) / 2});
}
state::Color darker(const Hsl& face) {
    return fromHsl({face.hue, face.saturation, face.lightness * 2 / 3});
}

}  // namespace

std::vector<DominantColor> dominantColors(const std::vector<state::Color>& pixels,
                                          std::size_t count) {
    std::vector<DominantColor> result;
    if (pixels.empty() || count == 0) return result;
    std::vector<Box> boxes{pixels};
    while (boxes.size() < count) {
        // Cut the box whose widest channel range is largest; a box of one colour cannot be cut.
        std::size_t pick = boxes.size();
        std::uint32_t pickRange = 0;
        int pickChannel = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2) continue;
            const auto [channel, range] = widestChannel(boxes[i]);
            if (range > pickRange) {
                pick = i;
                pickRange = range;
                pickChannel = channel;
            }
        }
        if (pick == boxes.size()) break;
        Box& box = boxes[pick];
        auto byChannel = [pickChannel](state::Color a, state::Color b) {
            return channelOf(a, pickChannel) < channelOf(b, pickChannel);
        };
        std::sort(box.begin(), box.end(), byChannel);
        // Cut at the median, moved to the nearer edge of the median's run of equal values, so
        // pixels of one value never end up in two boxes.
        const auto median = box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2);
        const auto [runStart, runEnd] =
            std::equal_range(box.begin(), box.end(), *median, byChannel);
        const bool startCuts = runStart != box.begin();
        const bool endCuts = runEnd != box.end();
        const auto middle =
            !endCuts || (startCuts && median - runStart <= runEnd - median) ? runStart : runEnd;
        Box upper(middle, box.end());
        box.erase(middle, box.end());
        boxes.push_back(std::move(upper));
    }
    for (const Box& box : boxes)
        result.push_back({meanOf(box), static_cast<double>(box.size()) / pixels.size()});
    std::stable_sort(
        result.begin(), result.end(),
        [](const DominantColor& a, const DominantColor& b) { return a.share > b.share; });
    return result;
}

Colors schemeFromWallpaper(const std::vector<state::Color>& pixels) {
    auto dominant = dominantColors(pixels, 8);
    if (dominant.empty()) dominant.push_back({state::rgb(128, 128, 128), 1.0});

    // The accent: the most saturated colour that covers a noticeable part of the picture.
    state::Color accentColor = dominant.front().color;
    double best = -1;
    for (const DominantColor& d : dominant) {
        const Hsl hsl = toHsl(d.color);
        // Near black and near white carry no hue worth showing, whatever their saturation.
        const double vivid =
            d.share >= 0.03 ? hsl.saturation * (1 - std::abs(2 * hsl.lightness - 1)) : -1;
        if (vivid > best) {
            best = vivid;
            accentColor = d.color;
        }
    }
    Hsl accent = toHsl(accentColor);
    // Title bars and the selection carry white text, as in the classic schemes: a dark tone.
    accent.lightness = std::clamp(accent.lightness, 0.2, 0.42);

    // The face: a muted tone of the most common colour, light as the classic faces are.
    Hsl face = toHsl(dominant.front().color);
    face.saturation = std::min(face.saturation * 0.4, 0.3);
    face.lightness = std::clamp(face.lightness, 0.6, 0.8);

    const state::Color faceColor = fromHsl(face);
    const state::Color highlight = lighter(face);
    const state::Color shadow = darker(face);
    const state::Color black = state::rgb(0, 0, 0);
    const state::Color white = state::rgb(255, 255, 255);
    const state::Color title = fromHsl(accent);

    Colors c{};
    c[0] = faceColor;               // Active Border
    c[1] = title;                   // Active Title
    c[2] = shadow;                  // App Workspace
    c[3] = dominant.front().color;  // Background: what the wallpaper mostly is
    c[4] = black;                   // Button Dark Shadow
    c[5] = faceColor;               // Button face
    c[6] = highlight;               // Button highlight
    c[7] = faceColor;               // Button light
    c[8] = shadow;                  // Button shadow
    c[9] = black;                   // Button text
    c[10] = shadow;                 // Gray text
    c[11] = title;                  // Highlight
    c[12] = white;                  // Highlight text
    c[13] = faceColor;              // Inactive border
    c[14] = shadow;                 // Inactive title
    c[15] = highlight;              // Inactive title text
    c[16] = black;                  // Info text
    c[17] = fromHsl({accent.hue, std::min(accent.saturation, 0.6), 0.93});  // Info window
    c[18] = faceColor;                                                      // Menu
    c[19] = black;                                                          // Menu text
    c[20] = highlight;                                                      // Scrollbar
    c[21] = white;                                                          // Title text
    c[22] = fromHsl({face.hue, face.saturation, 0.97});                     // Window
    c[23] = black;                                                          // Window frame
    c[24] = black;                                                          // Window text
    for (const ReadablePair& pair : kReadablePairs)
        c[pair.text] = readableText(c[pair.text], c[pair.background], pair.minimum);
    return c;
}

}  // namespace schemes

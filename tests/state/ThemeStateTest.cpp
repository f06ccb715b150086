// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>

#include "state/ThemeState.h"

using state::rgb;
using state::ThemeState;

TEST(ThemeState, StartsEmptyWithTheDefaultPalette) {
    const ThemeState s;
    EXPECT_EQ(s.themeName, "");
    EXPECT_EQ(s.wallpaperPath, "");
    EXPECT_FALSE(s.tileWallpaper);
    EXPECT_EQ(s.screenSaverPath, "");
    for (const auto& p : s.iconPaths) EXPECT_EQ(p, "");
    for (const auto& p : s.pointerPaths) EXPECT_EQ(p, "");
    for (const auto& p : s.soundPaths) EXPECT_EQ(p, "");
    for (const auto& p : s.logoPaths) EXPECT_EQ(p, "");

    EXPECT_EQ(s.colors[0], rgb(104, 120, 104));
    EXPECT_EQ(s.colors[1], rgb(80, 56, 64));
    EXPECT_EQ(s.colors[6], rgb(176, 192, 176));
    EXPECT_EQ(s.colors[7], 0u) << "Button light is black, unlike Button highlight";
    EXPECT_EQ(s.colors[11], rgb(184, 120, 64));
    EXPECT_EQ(s.colors[17], rgb(206, 217, 206));
    EXPECT_EQ(s.colors[21], rgb(255, 255, 240));
    EXPECT_EQ(s.colors[24], 0u);
    // The defaults form a palette of nine distinct colours.
    EXPECT_EQ(std::set<state::Color>(s.colors.begin(), s.colors.end()).size(), 9u);
}

TEST(ThemeState, ChoiceTestIsExactAndCaseSensitive) {
    EXPECT_FALSE(state::holdsChoice("", "*.sys"));
    EXPECT_FALSE(state::holdsChoice("*.sys", "*.sys"));
    EXPECT_TRUE(state::holdsChoice("*.SYS", "*.sys"));
    EXPECT_TRUE(state::holdsChoice(" *.sys", "*.sys"));
    EXPECT_TRUE(state::holdsChoice("C:\\Boot.sys", "*.sys"));
}

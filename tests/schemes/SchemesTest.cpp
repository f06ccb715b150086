// SPDX-License-Identifier: MIT
// The scheme presets against a table typed from their sources, the contrast maths against
// WCAG's own numbers, and the scheme made from a wallpaper's colours.
#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <span>

#include "input/ThemeReader.h"
#include "schemes/Contrast.h"
#include "schemes/Wallpaper.h"
#include "state/ThemeFileKeys.h"

namespace {

using state::rgb;

std::string readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::string text(state::Color c) {
    return std::to_string(state::red(c)) + " " + std::to_string(state::green(c)) + " " +
           std::to_string(state::blue(c));
}

TEST(SchemePresets, HoldEveryColourOfTheTableTypedFromTheSources) {
    const input::IniText typed(readAll(SKINSMITH_TEST_DATA "/classic-schemes.ini"));
    ASSERT_EQ(schemes::kSchemeTable.size(), 21u);
    for (const auto& scheme : schemes::kSchemeTable) {
        const std::string name(scheme.name);
        ASSERT_TRUE(typed.hasSection(name)) << name;
        const auto colors = schemes::colorsOf(scheme);
        using Keys = std::span<const state::keys::KeySlot>;
        for (const Keys keys : {Keys(state::keys::kColorKeysA), Keys(state::keys::kColorKeysB)})
            for (const auto& [key, slot] : keys)
                EXPECT_EQ(typed.value(name, key), text(colors[slot])) << name << " " << key;
        const auto w98 = schemes::windows98ColorsOf(scheme);
        EXPECT_EQ(typed.value(name, "GradientActiveTitle"), text(w98.gradientActiveTitle)) << name;
        EXPECT_EQ(typed.value(name, "GradientInactiveTitle"), text(w98.gradientInactiveTitle))
            << name;
        EXPECT_EQ(typed.value(name, "HotTrackingColor"), text(w98.hotTracking)) << name;
    }
    const auto standard = schemes::colorsOf(schemes::kSchemeTable[0]);
    EXPECT_EQ(schemes::kSchemeTable[0].name, "Windows Standard");
    EXPECT_EQ(standard[3], rgb(0, 128, 128));     // Background
    EXPECT_EQ(standard[5], rgb(192, 192, 192));   // Button face
    EXPECT_EQ(standard[1], rgb(0, 0, 128));       // Active Title
    EXPECT_EQ(standard[22], rgb(255, 255, 255));  // Window
}

TEST(Contrast, RatiosAreWcagsAndFixesMoveLightnessNoFurtherThanNeeded) {
    EXPECT_NEAR(schemes::contrastRatio(rgb(0, 0, 0), rgb(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(schemes::contrastRatio(rgb(255, 255, 255), rgb(0, 0, 0)), 21.0, 1e-9);
    EXPECT_NEAR(schemes::contrastRatio(rgb(119, 119, 119), rgb(255, 255, 255)), 4.48, 0.01);
    EXPECT_NEAR(schemes::contrastRatio(rgb(0, 0, 255), rgb(255, 255, 255)), 8.59, 0.01);
    EXPECT_NEAR(schemes::relativeLuminance(rgb(255, 0, 0)), 0.2126, 1e-9);

    struct Case {
        state::Color text, background;
        double minimum;
    };
    for (const Case c :
         {Case{rgb(119, 119, 119), rgb(255, 255, 255), 4.5},
          Case{rgb(200, 40, 40), rgb(160, 30, 30), 4.5},
          Case{rgb(128, 128, 128), rgb(128, 128, 128), 4.5},
          Case{rgb(0, 255, 0), rgb(255, 255, 255), 3.0}, Case{rgb(255, 255, 0), rgb(0, 0, 0), 4.5},
          Case{rgb(90, 140, 200), rgb(70, 110, 160), 4.5}}) {
        const state::Color fixed = schemes::readableText(c.text, c.background, c.minimum);
        const double ratio = schemes::contrastRatio(fixed, c.background);
        EXPECT_GE(ratio, c.minimum) << text(c.text) << " on " << text(c.background);
        const auto before = schemes::toHsl(c.text);
        const auto after = schemes::toHsl(fixed);
        if (schemes::contrastRatio(c.text, c.background) >= c.minimum) {
            EXPECT_EQ(fixed, c.text);
            continue;
        }
        if (after.saturation > 0.05 && after.lightness > 0.05 && after.lightness < 0.95) {
            EXPECT_NEAR(after.hue, before.hue, 3.0) << "the hue stays";
        }
        // One 8-bit lightness level less of a move would not have read.
        auto back = after;
        back.lightness += after.lightness < before.lightness ? 1.0 / 255 : -1.0 / 255;
        EXPECT_LT(schemes::contrastRatio(schemes::fromHsl(back), c.background), c.minimum)
            << text(c.text) << " on " << text(c.background);
    }
}

TEST(Contrast, ProblemsListOnlyThePairsUnderTheirRatioWithAFixThatReads) {
    // The classic grey on grey reads poorly: 192 on 128 is 2.17:1 (computed apart from this code).
    const auto standard = schemes::contrastProblems(schemes::colorsOf(schemes::kSchemeTable[0]));
    ASSERT_EQ(standard.size(), 2u);
    EXPECT_EQ(standard[0].pair.text, 15u);  // Inactive title text
    EXPECT_NEAR(standard[0].ratio, 2.17, 0.01);
    EXPECT_EQ(standard[1].pair.text, 10u);                       // Gray text
    auto colors = schemes::colorsOf(schemes::kSchemeTable[17]);  // High Contrast Black
    EXPECT_TRUE(schemes::contrastProblems(colors).empty());
    colors[21] = rgb(0, 0, 100);      // Title text on the purple title bar
    colors[10] = rgb(60, 60, 60);     // Gray text on the black face: 3:1 is the bar
    colors[16] = rgb(200, 200, 200);  // Info text still reads
    const auto problems = schemes::contrastProblems(colors);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].pair.text, 21u);
    EXPECT_EQ(problems[1].pair.text, 10u);
    EXPECT_EQ(problems[1].pair.minimum, 3.0);
    for (const auto& p : problems) {
        EXPECT_LT(p.ratio, p.pair.minimum);
        EXPECT_GE(schemes::contrastRatio(p.suggestion, colors[p.pair.background]), p.pair.minimum);
    }
}

TEST(WallpaperScheme, MedianCutFindsTheColoursByShareAndAnEmptyPictureStillGivesAScheme) {
    std::vector<state::Color> pixels(300, rgb(200, 30, 30));
    pixels.insert(pixels.end(), 100, rgb(20, 40, 220));
    const auto dominant = schemes::dominantColors(pixels, 8);
    ASSERT_EQ(dominant.size(), 2u) << "a box of one colour is not cut";
    EXPECT_EQ(dominant[0].color, rgb(200, 30, 30));
    EXPECT_DOUBLE_EQ(dominant[0].share, 0.75);
    EXPECT_EQ(dominant[1].color, rgb(20, 40, 220));
    EXPECT_TRUE(schemes::dominantColors({}, 8).empty());

    // The title bar takes the saturated blue, though red covers more; the face is muted.
    const auto scheme = schemes::schemeFromWallpaper(pixels);
    EXPECT_NEAR(schemes::toHsl(scheme[1]).hue, schemes::toHsl(rgb(20, 40, 220)).hue, 2.0);
    EXPECT_LE(schemes::toHsl(scheme[5]).saturation, 0.31);
    EXPECT_EQ(scheme[3], rgb(200, 30, 30)) << "the desktop is what the wallpaper mostly is";
    EXPECT_EQ(scheme[11], scheme[1]) << "the selection is the title bar's colour";
    for (const auto& problems : {schemes::contrastProblems(scheme),
                                 schemes::contrastProblems(schemes::schemeFromWallpaper({}))})
        EXPECT_TRUE(problems.empty());
}

}  // namespace

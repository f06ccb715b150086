// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/KeptKeys.h"

namespace state {

/// A colour: red in bits 0-7, green in bits 8-15, blue in bits 16-23, zero above.
using Color = std::uint32_t;

constexpr Color rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red + 256 * green + 65536 * blue;
}
constexpr std::uint32_t red(Color c) {
    return c % 256;
}
constexpr std::uint32_t green(Color c) {
    return (c / 256) % 256;
}
constexpr std::uint32_t blue(Color c) {
    return (c / 65536) % 256;
}

inline constexpr std::size_t kIconCount = 4;
inline constexpr std::size_t kPointerCount = 12;
inline constexpr std::size_t kSoundCount = 20;
inline constexpr std::size_t kColorCount = 25;
inline constexpr std::size_t kLogoCount = 3;

/// Pick patterns: a slot equal to its pattern (or empty) holds no choice.
inline constexpr std::string_view kIconPattern = "*.ico";
inline constexpr std::string_view kWallpaperPattern = "*.jpg";
inline constexpr std::string_view kPointerPattern = "*.ani;*.cur";
inline constexpr std::string_view kSoundPattern = "*.wav";
inline constexpr std::string_view kScreenSaverPattern = "*.scr";
inline constexpr std::string_view kLogoPattern = "*.sys";

/// True when a slot holds a choice: neither empty nor its pick pattern (exact comparison).
constexpr bool holdsChoice(std::string_view slot, std::string_view pattern) {
    return !slot.empty() && slot != pattern;
}

/// Desktop items of the icon slots (captions of Label1).
inline constexpr std::array<std::string_view, kIconCount> kIconCaptions = {
    "My Computer", "Network Neighbourhood", "Recycle Bin Full", "Recycle Bin Empty"};

/// Captions of the pointer buttons Command10, by slot.
inline constexpr std::array<std::string_view, kPointerCount> kPointerCaptions = {
    "Normal Select...",
    "Working in background...",
    "Busy...",
    "Precision select...",
    "Text select...",
    "Unavailable...",
    "Vertical resize...",
    "Horizontal resize...",
    "Diagonal resize ...",
    "Help select...",
    "Move...",
    "Inverse Diagonal resize..."};

/// Captions of the sound buttons Command11, by slot.
inline constexpr std::array<std::string_view, kSoundCount> kSoundCaptions = {
    "Asterisk",          "Close program", "Critical stop", "Default beep",  "Default sound",
    "Empty Recycle bin", "Exclamation",   "Exit Windows",  "Maximize",      "Menu command",
    "Menu popup",        "Minimize",      "Open program",  "Program error", "Question",
    "Restore down",      "Restore up",    "Ring in",       "Ring out",      "Start Windows"};

/// Window elements of the colour slots, as the colour list shows them.
inline constexpr std::array<std::string_view, kColorCount> kColorNames = {"Active Border",
                                                                          "Active Title",
                                                                          "App Workspace",
                                                                          "Background",
                                                                          "Button Dark Shadow",
                                                                          "Button face",
                                                                          "Button highlight",
                                                                          "Button light",
                                                                          "Button shadow",
                                                                          "Button text",
                                                                          "Gray text",
                                                                          "Highlight",
                                                                          "Highlight text",
                                                                          "Inactive border",
                                                                          "Inactive title",
                                                                          "Inactive title text",
                                                                          "Info text",
                                                                          "Info window",
                                                                          "Menu",
                                                                          "Menu text",
                                                                          "Scrollbar",
                                                                          "Title text",
                                                                          "Window",
                                                                          "Window frame",
                                                                          "Window frame text"};

/// Captions of the logo buttons, by slot.
inline constexpr std::array<std::string_view, kLogoCount> kLogoCaptions = {
    "Startup logo...", "Shutdown wait...", "Shutdown safe..."};

/// The colours a new theme starts with.
inline constexpr std::array<Color, kColorCount> kDefaultColors = {
    rgb(104, 120, 104),  // Active Border
    rgb(80, 56, 64),     // Active Title
    rgb(72, 80, 72),     // App Workspace
    rgb(0, 0, 0),        // Background
    rgb(0, 0, 0),        // Button Dark Shadow
    rgb(104, 120, 104),  // Button face
    rgb(176, 192, 176),  // Button highlight
    rgb(0, 0, 0),        // Button light
    rgb(72, 80, 72),     // Button shadow
    rgb(0, 0, 0),        // Button text
    rgb(72, 80, 72),     // Gray text
    rgb(184, 120, 64),   // Highlight
    rgb(255, 255, 255),  // Highlight text
    rgb(104, 120, 104),  // Inactive border
    rgb(72, 80, 72),     // Inactive title
    rgb(104, 120, 104),  // Inactive title text
    rgb(0, 0, 0),        // Info text
    rgb(206, 217, 206),  // Info window
    rgb(104, 120, 104),  // Menu
    rgb(0, 0, 0),        // Menu text
    rgb(176, 192, 176),  // Scrollbar
    rgb(255, 255, 240),  // Title text
    rgb(255, 255, 240),  // Window
    rgb(0, 0, 0),        // Window frame
    rgb(0, 0, 0),        // Window frame text
};

/// The colours of the Windows Standard scheme, which Windows keeps for an element a theme
/// file does not set.
inline constexpr std::array<Color, kColorCount> kWindowsStandardColors = {
    rgb(192, 192, 192),  // Active Border
    rgb(0, 0, 128),      // Active Title
    rgb(128, 128, 128),  // App Workspace
    rgb(0, 128, 128),    // Background
    rgb(0, 0, 0),        // Button Dark Shadow
    rgb(192, 192, 192),  // Button face
    rgb(255, 255, 255),  // Button highlight
    rgb(192, 192, 192),  // Button light
    rgb(128, 128, 128),  // Button shadow
    rgb(0, 0, 0),        // Button text
    rgb(128, 128, 128),  // Gray text
    rgb(0, 0, 128),      // Highlight
    rgb(255, 255, 255),  // Highlight text
    rgb(192, 192, 192),  // Inactive border
    rgb(128, 128, 128),  // Inactive title
    rgb(192, 192, 192),  // Inactive title text
    rgb(0, 0, 0),        // Info text
    rgb(255, 255, 225),  // Info window
    rgb(192, 192, 192),  // Menu
    rgb(0, 0, 0),        // Menu text
    rgb(192, 192, 192),  // Scrollbar
    rgb(255, 255, 255),  // Title text
    rgb(255, 255, 255),  // Window
    rgb(0, 0, 0),        // Window frame
    rgb(0, 0, 0),        // Window frame text
};

/// Every selection of one run. Plain data: it checks nothing and ties no slot to another.
/// Paths are UTF-8 Windows paths as the open-file dialog returned them; "" means not chosen.
struct ThemeState {
    std::string themeName;
    std::string wallpaperPath;
    bool tileWallpaper = false;
    std::array<std::string, kIconCount> iconPaths;
    std::array<std::string, kPointerCount> pointerPaths;
    std::array<std::string, kSoundCount> soundPaths;
    std::array<Color, kColorCount> colors = kDefaultColors;
    std::string screenSaverPath;
    std::array<std::string, kLogoCount> logoPaths;
    /// What an opened theme holds that no page edits; empty for a new theme.
    std::vector<KeptKey> keptKeys;

    bool operator==(const ThemeState&) const = default;
};

}  // namespace state

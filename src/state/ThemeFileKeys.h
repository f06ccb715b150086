// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "state/ThemeState.h"

// Which section and key of a theme file carries which slot of the state. The writer and the
// reader share these tables, so a key can never be written under one name and read under another.
namespace state::keys {

using KeySlot = std::pair<std::string_view, std::size_t>;

inline constexpr std::string_view kMyComputerSection =
    "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
inline constexpr std::string_view kNetworkSection =
    "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon";
inline constexpr std::string_view kRecycleBinSection =
    "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";
inline constexpr std::string_view kColorsSection = "Control Panel\\Colors";
inline constexpr std::string_view kCursorsSection = "Control Panel\\Cursors";
inline constexpr std::string_view kDesktopSection = "Control Panel\\Desktop";
inline constexpr std::string_view kBootSection = "boot";
inline constexpr std::string_view kWindowMetricsSection = "Control Panel\\Desktop\\WindowMetrics";
inline constexpr std::string_view kMetricsSection = "Metrics";
inline constexpr std::string_view kMasterSection = "MasterThemeSelector";

// The lines the theme file always writes the same for a new theme, by section and key. An
// opened theme's own line of such a key takes their place.
struct FixedLine {
    std::string_view section;
    std::string_view key;
    std::string_view line;
};
// Windows ICONMETRICS and NONCLIENTMETRICS records, byte by byte in decimal.
inline constexpr std::string_view kIconMetricsLine =
    "IconMetrics=76 0 0 0 96 0 0 0 83 0 0 0 1 0 0 0 243 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 "
    "1 0 0 0 0 0 0 0 0 0 0 67 97 108 105 115 116 111 32 77 84 0 46 119 97 118 0 98 105 110 46 "
    "119 97 118 0 99 111 44 48 0 0 3 248";
inline constexpr std::string_view kNonclientMetricsLine =
    "NonclientMetrics=84 1 0 0 1 0 0 0 16 0 0 0 16 0 0 0 18 0 0 0 18 0 0 0 243 255 255 255 0 0 "
    "0 0 0 0 0 0 0 0 0 0 188 2 0 0 0 0 0 0 0 0 0 0 67 97 108 105 115 116 111 32 77 84 0 104 101 "
    "109 101 0 232 62 211 129 236 70 247 191 0 64 210 129 206 105 65 0 16 0 0 0 16 0 0 0 244 255 "
    "255 255 0 0 0 0 0 0 0 0 0 0 0 0 188 2 0 0 0 0 0 0 0 0 0 0 67 97 108 105 115 116 111 32 77 84 "
    "0 104 101 109 101 0 232 62 211 129 236 70 247 191 0 64 210 129 206 105 65 0 18 0 0 0 18 0 0 "
    "0 243 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 1 0 0 0 0 0 0 0 0 0 0 67 97 108 105 115 116 "
    "111 32 77 84 0 104 101 109 101 0 232 62 211 129 236 70 247 191 0 64 210 129 206 105 65 0 244 "
    "255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 1 0 0 0 0 0 0 0 0 0 0 67 97 108 105 115 116 111 32 "
    "77 84 0 104 101 109 101 0 232 62 211 129 236 70 247 191 0 64 210 129 206 105 65 0 245 255 255 "
    "255 0 0 0 0 0 0 0 0 0 0 0 0 144 1 0 0 0 0 0 0 0 0 0 0 77 83 32 83 97 110 115 32 83 101 114 "
    "105 102 0 101 0 232 62 211 129 236 70 247 191 0 64 210 129 206 105 65 0";
inline constexpr std::array<FixedLine, 10> kFixedLines = {{
    {kColorsSection, "MessageBox", "MessageBox=255 0 0"},
    {kColorsSection, "MessageBoxText", "MessageBoxText=0 0 0"},
    {kCursorsSection, "DefaultValue", "DefaultValue=Windows default"},
    {kDesktopSection, "ScreenSaveActive", "ScreenSaveActive=1"},
    {kMetricsSection, "IconMetrics", kIconMetricsLine},
    {kMetricsSection, "NonclientMetrics", kNonclientMetricsLine},
    {kMasterSection, "MTSM", "MTSM = DABJDKT"},
    {kMasterSection, "ThemeColorBPP", "ThemeColorBPP = 8"},
    {kMasterSection, "Stretch", "Stretch = 1"},
    {kMasterSection, "Crit", "Crit=ORVO"},
}};

/// The value of a [Metrics] key the theme file will hold: the opened theme's own line, else the
/// fixed one.
inline std::string metricsValue(const ThemeState& theme, std::string_view key) {
    if (const KeptKey* kept = findKept(theme.keptKeys, kMetricsSection, key))
        return std::string(keptValue(*kept));
    for (const FixedLine& fixed : kFixedLines)
        if (fixed.section == kMetricsSection && fixed.key == key)
            return std::string(fixed.line.substr(fixed.line.find('=') + 1));
    return {};
}

/// Sets the value of a [Metrics] key. An opened line keeps its key and what stands before the
/// value as spelt; a value equal to the fixed line's leaves no kept line, so a new theme the
/// user changed back is again the fixed text.
inline void setMetricsValue(ThemeState& theme, std::string_view key, std::string_view value) {
    auto& kept = theme.keptKeys;
    const KeptKey* found = findKept(kept, kMetricsSection, key);
    const auto at = found == nullptr ? kept.end() : kept.begin() + (found - kept.data());
    for (const FixedLine& fixed : kFixedLines)
        if (fixed.section == kMetricsSection && fixed.key == key &&
            fixed.line.substr(fixed.line.find('=') + 1) == value) {
            if (at != kept.end()) kept.erase(at);
            return;
        }
    if (at == kept.end()) {
        kept.push_back({std::string(kMetricsSection),
                        std::string(key),
                        std::string(key) + '=' + std::string(value),
                        {},
                        {}});
        return;
    }
    std::string& line = at->line;
    auto end = line.find('=');
    if (end == std::string::npos) {
        line = std::string(key) + '=' + std::string(value);
        return;
    }
    for (++end; end < line.size() && (line[end] == ' ' || line[end] == '\t');) ++end;
    line = line.substr(0, end) + std::string(value);
}

// Colour keys before the two fixed MessageBox lines, in file order, with their colour slot.
inline constexpr std::array<KeySlot, 23> kColorKeysA = {{
    {"ActiveTitle", 1},    {"Background", 3},      {"Hilight", 11},     {"HilightText", 12},
    {"TitleText", 21},     {"Window", 22},         {"WindowText", 24},  {"Scrollbar", 20},
    {"InactiveTitle", 14}, {"Menu", 18},           {"WindowFrame", 23}, {"MenuText", 19},
    {"ActiveBorder", 0},   {"InactiveBorder", 13}, {"AppWorkspace", 2}, {"ButtonFace", 5},
    {"ButtonShadow", 8},   {"GrayText", 10},       {"ButtonText", 9},   {"InactiveTitleText", 15},
    {"ButtonHilight", 6},  {"ButtonDkShadow", 4},  {"ButtonLight", 7},
}};

// Colour keys after the MessageBox lines.
inline constexpr std::array<KeySlot, 2> kColorKeysB = {{{"InfoText", 16}, {"InfoWindow", 17}}};

// Cursor keys in file order, with their pointer slot.
inline constexpr std::array<KeySlot, kPointerCount> kCursorKeys = {{
    {"Arrow", 0},
    {"Help", 9},
    {"AppStarting", 1},
    {"Wait", 2},
    {"No", 5},
    {"SizeNS", 6},
    {"SizeWE", 7},
    {"Crosshair", 3},
    {"IBeam", 4},
    {"SizeNWSE", 8},
    {"SizeNESW", 11},
    {"SizeAll", 10},
}};

// Sound sections in file order, with their sound slot; each holds the one key DefaultValue.
inline constexpr std::array<KeySlot, kSoundCount> kSoundSections = {{
    {"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current", 4},
    {"AppEvents\\Schemes\\Apps\\.Default\\AppGPFault\\.Current", 13},
    {"AppEvents\\Schemes\\Apps\\.Default\\Maximize\\.Current", 8},
    {"AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current", 9},
    {"AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", 10},
    {"AppEvents\\Schemes\\Apps\\.Default\\Minimize\\.Current", 11},
    {"AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current", 12},
    {"AppEvents\\Schemes\\Apps\\.Default\\Close\\.Current", 1},
    {"AppEvents\\Schemes\\Apps\\.Default\\RestoreDown\\.Current", 15},
    {"AppEvents\\Schemes\\Apps\\.Default\\RestoreUp\\.Current", 16},
    {"AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current", 17},
    {"AppEvents\\Schemes\\Apps\\.Default\\Ringout\\.Current", 18},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current", 0},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemDefault\\.Current", 3},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemExclamation\\.Current", 6},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current", 7},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemHand\\.Current", 2},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemQuestion\\.Current", 14},
    {"AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current", 19},
    {"AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current", 5},
}};

// Where the logo batch file installs each splash logo, by logo slot.
inline constexpr std::array<std::string_view, kLogoCount> kLogoTargets = {
    "c:\\logo.sys", "c:\\windows\\logow.sys", "c:\\windows\\logos.sys"};

}  // namespace state::keys

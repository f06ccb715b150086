// SPDX-License-Identifier: MIT
#include "output/ThemeFile.h"

#include <array>
#include <cstddef>
#include <utility>

#include "platform/Windows1252.h"
#include "state/ThemeFileKeys.h"

namespace output {
namespace {

constexpr std::string_view kThemeDir = "%ThemeDir%";

std::string fileRef(std::string_view key, std::string_view path) {
    std::string line(key);
    line += '=';
    line += kThemeDir;
    line += strip(path);
    return line;
}

// Windows ICONMETRICS and NONCLIENTMETRICS records, byte by byte in decimal.
constexpr std::string_view kIconMetrics =
    "IconMetrics=76 0 0 0 96 0 0 0 83 0 0 0 1 0 0 0 243 255 255 255 0 0 0 0 0 0 0 0 0 0 0 0 144 "
    "1 0 0 0 0 0 0 0 0 0 0 67 97 108 105 115 116 111 32 77 84 0 46 119 97 118 0 98 105 110 46 "
    "119 97 118 0 99 111 44 48 0 0 3 248";

constexpr std::string_view kNonclientMetrics =
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

}  // namespace

std::string strip(std::string_view path) {
    const auto slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string colorText(state::Color color) {
    return " " + std::to_string(state::red(color)) + " " + std::to_string(state::green(color)) +
           " " + std::to_string(state::blue(color));
}

std::vector<std::string> themeFileLines(const state::ThemeState& theme) {
    std::vector<std::string> lines;
    lines.reserve(kThemeFileLineCount);
    auto add = [&lines](std::string line) { lines.push_back(std::move(line)); };
    auto addColor = [&](std::string_view key, std::size_t slot) {
        add(std::string(key) + '=' + colorText(theme.colors[slot]));
    };

    add(";This theme was developed using Orvo Skinsmith");
    auto section = [&add](std::string_view name) { add("[" + std::string(name) + "]"); };
    using namespace state::keys;
    section(kMyComputerSection);
    add(fileRef("DefaultValue", theme.iconPaths[0]));
    section(kNetworkSection);
    add(fileRef("DefaultValue", theme.iconPaths[1]));
    section(kRecycleBinSection);
    add(fileRef("full", theme.iconPaths[2]));
    add(fileRef("empty", theme.iconPaths[3]));

    section(kColorsSection);
    for (const auto& [key, slot] : kColorKeysA) addColor(key, slot);
    add("MessageBox=255 0 0");
    add("MessageBoxText=0 0 0");
    for (const auto& [key, slot] : kColorKeysB) addColor(key, slot);

    section(kCursorsSection);
    for (const auto& [key, slot] : kCursorKeys) add(fileRef(key, theme.pointerPaths[slot]));
    add("DefaultValue=Windows default");

    section(kDesktopSection);
    add(fileRef("Wallpaper", theme.wallpaperPath));
    add(theme.tileWallpaper ? "TileWallpaper=1" : "TileWallpaper=0");
    add("ScreenSaveActive=1");
    add("[Control Panel\\Desktop\\WindowMetrics]");

    for (const auto& [name, slot] : kSoundSections) {
        section(name);
        add(fileRef("DefaultValue", theme.soundPaths[slot]));
    }

    add("[Metrics]");
    add(std::string(kIconMetrics));
    add(std::string(kNonclientMetrics));
    section(kBootSection);
    add("SCRNSAVE.EXE=%WinDir%System\\" + strip(theme.screenSaverPath));
    add("[MasterThemeSelector]");
    add("MTSM = DABJDKT");
    add("ThemeColorBPP = 8");
    add("Stretch = 1");
    add("Crit=ORVO");
    return lines;
}

std::string windowsLineBytes(std::string_view utf8Line) {
    std::string bytes = platform::toWindows1252(utf8Line);
    for (char& c : bytes) {
        if (c == '\r' || c == '\n') c = '?';
    }
    return bytes;
}

bool writeThemeFile(const state::ThemeState& theme, platform::TextFile& out) {
    bool allWritten = true;
    for (const auto& line : themeFileLines(theme)) {
        if (!out.writeLine(windowsLineBytes(line))) allWritten = false;
    }
    return allWritten;
}

}  // namespace output

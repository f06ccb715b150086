#include "output/ThemeFile.h"

#include <array>
#include <cstddef>
#include <utility>

#include "platform/Windows1252.h"

namespace output {
namespace {

constexpr std::string_view kThemeDir = "%ThemeDir%";

std::string fileRef(std::string_view key, std::string_view path) {
    std::string line(key);
    line += kThemeDir;
    line += strip(path);
    return line;
}

// Colour lines 10 to 32 in file order: key and colour slot.
constexpr std::array<std::pair<std::string_view, std::size_t>, 23> kColorLinesA = {{
    {"ActiveTitle=", 1},    {"Background=", 3},         {"Hilight=", 11},
    {"HilightText=", 12},   {"TitleText=", 21},         {"Window=", 22},
    {"WindowText=", 24},    {"Scrollbar=", 20},         {"InactiveTitle=", 14},
    {"Menu=", 18},          {"WindowFrame=", 23},       {"MenuText=", 19},
    {"ActiveBorder=", 0},   {"InactiveBorder=", 13},    {"AppWorkspace=", 2},
    {"ButtonFace=", 5},     {"ButtonShadow=", 8},       {"GrayText=", 10},
    {"ButtonText=", 9},     {"InactiveTitleText=", 15}, {"ButtonHilight=", 6},
    {"ButtonDkShadow=", 4}, {"ButtonLight=", 7},
}};

// Colour lines 35 and 36.
constexpr std::array<std::pair<std::string_view, std::size_t>, 2> kColorLinesB = {{
    {"InfoText=", 16},
    {"InfoWindow=", 17},
}};

// Cursor lines 38 to 49 in file order: key and pointer slot.
constexpr std::array<std::pair<std::string_view, std::size_t>, 12> kCursorLines = {{
    {"Arrow=", 0},
    {"Help=", 9},
    {"AppStarting=", 1},
    {"Wait=", 2},
    {"No=", 5},
    {"SizeNS=", 6},
    {"SizeWE=", 7},
    {"Crosshair=", 3},
    {"IBeam=", 4},
    {"SizeNWSE=", 8},
    {"SizeNESW=", 11},
    {"SizeAll=", 10},
}};

// Sound sections, lines 56 to 95 in file order: section and sound slot.
constexpr std::array<std::pair<std::string_view, std::size_t>, 20> kSoundSections = {{
    {"[AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current]", 4},
    {"[AppEvents\\Schemes\\Apps\\.Default\\AppGPFault\\.Current]", 13},
    {"[AppEvents\\Schemes\\Apps\\.Default\\Maximize\\.Current]", 8},
    {"[AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current]", 9},
    {"[AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current]", 10},
    {"[AppEvents\\Schemes\\Apps\\.Default\\Minimize\\.Current]", 11},
    {"[AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current]", 12},
    {"[AppEvents\\Schemes\\Apps\\.Default\\Close\\.Current]", 1},
    {"[AppEvents\\Schemes\\Apps\\.Default\\RestoreDown\\.Current]", 15},
    {"[AppEvents\\Schemes\\Apps\\.Default\\RestoreUp\\.Current]", 16},
    {"[AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current]", 17},
    {"[AppEvents\\Schemes\\Apps\\.Default\\Ringout\\.Current]", 18},
    {"[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]", 0},
    {"[AppEvents\\Schemes\\Apps\\.Default\\SystemDefault\\.Current]", 3},
    {"[AppEvents\\Schemes\\Apps\\.Default\\SystemExclamation\\.Current]", 6},
    {"[AppEvents\\Schemes\\Apps\\.Default\\SystemExit\\.Current]", 7},
    {"[AppEvents\\Schemes\\Apps\\.Default\\SystemHand\\.Current]", 2},
    {"[AppEvents\\Schemes\\Apps\\.Default\\SystemQuestion\\.Current]", 14},
    {"[AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current]", 19},
    {"[AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current]", 5},
}};

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
        add(std::string(key) + colorText(theme.colors[slot]));
    };

    add(";This theme was developed using Orvo Skinsmith");
    add("[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]");
    add(fileRef("DefaultValue=", theme.iconPaths[0]));
    add("[CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon]");
    add(fileRef("DefaultValue=", theme.iconPaths[1]));
    add("[CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon]");
    add(fileRef("full=", theme.iconPaths[2]));
    add(fileRef("empty=", theme.iconPaths[3]));

    add("[Control Panel\\Colors]");
    for (const auto& [key, slot] : kColorLinesA) addColor(key, slot);
    add("MessageBox=255 0 0");
    add("MessageBoxText=0 0 0");
    for (const auto& [key, slot] : kColorLinesB) addColor(key, slot);

    add("[Control Panel\\Cursors]");
    for (const auto& [key, slot] : kCursorLines) add(fileRef(key, theme.pointerPaths[slot]));
    add("DefaultValue=Windows default");

    add("[Control Panel\\Desktop]");
    add(fileRef("Wallpaper=", theme.wallpaperPath));
    add(theme.tileWallpaper ? "TileWallpaper=1" : "TileWallpaper=0");
    add("ScreenSaveActive=1");
    add("[Control Panel\\Desktop\\WindowMetrics]");

    for (const auto& [section, slot] : kSoundSections) {
        add(std::string(section));
        add(fileRef("DefaultValue=", theme.soundPaths[slot]));
    }

    add("[Metrics]");
    add(std::string(kIconMetrics));
    add(std::string(kNonclientMetrics));
    add("[boot]");
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

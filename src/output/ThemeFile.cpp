// SPDX-License-Identifier: MIT
#include "output/ThemeFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
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

}  // namespace

std::string strip(std::string_view path) {
    const auto slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string colorText(state::Color color) {
    return " " + std::to_string(state::red(color)) + " " + std::to_string(state::green(color)) +
           " " + std::to_string(state::blue(color));
}

namespace {

// Builds the lines section by section. An opened theme's kept keys go into the section that
// holds them, after the section's own lines; a kept key of a fixed line takes that line's place;
// a kept key of a slot stands in for the slot while the slot holds no choice. Sections the
// fixed lines lack follow at the end, each once.
class LineBuilder {
public:
    explicit LineBuilder(const state::ThemeState& theme)
        : m_kept(theme.keptKeys), m_used(theme.keptKeys.size(), false) {
        m_lines.reserve(kThemeFileLineCount);
    }

    void add(std::string line) { m_lines.push_back(std::move(line)); }
    void section(std::string_view name) {
        endSection();
        m_section = name;
        add("[" + std::string(name) + "]");
    }
    // A line the fixed text gives unless the opened theme had its own.
    void fixed(std::string_view key) {
        std::string_view line;
        for (const auto& f : state::keys::kFixedLines)
            if (f.section == m_section && f.key == key) line = f.line;
        const auto index = keptIndex(key);
        add(index ? keptLine(m_kept[*index]) : std::string(line));
    }
    // A slot's line; the opened theme's own line while the slot holds no choice.
    void slot(std::string_view key, std::string line, bool chosen) {
        const auto index = keptIndex(key);
        add(index && !chosen ? keptLine(m_kept[*index]) : std::move(line));
    }
    std::vector<std::string> finish() {
        endSection();
        for (std::size_t i = 0; i < m_kept.size(); ++i) {
            if (m_used[i]) continue;
            m_section = m_kept[i].section;
            add("[" + m_section + "]");
            endSection();
        }
        return std::move(m_lines);
    }

private:
    std::optional<std::size_t> keptIndex(std::string_view key) {
        for (std::size_t i = 0; i < m_kept.size(); ++i) {
            if (m_used[i] || !state::sameName(m_kept[i].section, m_section) ||
                !state::sameName(m_kept[i].key, key))
                continue;
            m_used[i] = true;
            return i;
        }
        return std::nullopt;
    }
    void endSection() {
        for (std::size_t i = 0; i < m_kept.size(); ++i) {
            if (m_used[i] || !state::sameName(m_kept[i].section, m_section)) continue;
            m_used[i] = true;
            if (!m_kept[i].key.empty()) add(keptLine(m_kept[i]));
        }
    }

    const std::vector<state::KeptKey>& m_kept;
    std::vector<bool> m_used;
    std::vector<std::string> m_lines;
    std::string m_section;
};

}  // namespace

std::string keptLine(const state::KeptKey& kept) {
    if (kept.file.empty()) return kept.line;
    return kept.key + '=' + std::string(kThemeDir) + strip(kept.file) + kept.suffix;
}

std::vector<const state::KeptKey*> keptFilesWritten(const state::ThemeState& theme) {
    // The same walk as the writer's, so a file is copied exactly when a line names it.
    std::vector<const state::KeptKey*> files;
    const auto lines = themeFileLines(theme);
    for (const state::KeptKey& kept : theme.keptKeys) {
        if (kept.file.empty()) continue;
        if (std::find(lines.begin(), lines.end(), keptLine(kept)) != lines.end())
            files.push_back(&kept);
    }
    return files;
}

std::vector<std::string> themeFileLines(const state::ThemeState& theme) {
    LineBuilder b(theme);
    auto color = [&](std::string_view key, std::size_t slot) {
        b.add(std::string(key) + '=' + colorText(theme.colors[slot]));
    };
    auto file = [&](std::string_view key, const std::string& path, std::string_view pattern) {
        b.slot(key, fileRef(key, path), state::holdsChoice(path, pattern));
    };
    using state::kIconPattern;
    using state::kPointerPattern;
    using state::kSoundPattern;

    b.add(";This theme was developed using Orvo Skinsmith");
    using namespace state::keys;
    b.section(kMyComputerSection);
    file("DefaultValue", theme.iconPaths[0], kIconPattern);
    b.section(kNetworkSection);
    file("DefaultValue", theme.iconPaths[1], kIconPattern);
    b.section(kRecycleBinSection);
    file("full", theme.iconPaths[2], kIconPattern);
    file("empty", theme.iconPaths[3], kIconPattern);

    b.section(kColorsSection);
    for (const auto& [key, slot] : kColorKeysA) color(key, slot);
    b.fixed("MessageBox");
    b.fixed("MessageBoxText");
    for (const auto& [key, slot] : kColorKeysB) color(key, slot);

    b.section(kCursorsSection);
    for (const auto& [key, slot] : kCursorKeys)
        file(key, theme.pointerPaths[slot], kPointerPattern);
    b.fixed("DefaultValue");

    b.section(kDesktopSection);
    file("Wallpaper", theme.wallpaperPath, state::kWallpaperPattern);
    b.add(theme.tileWallpaper ? "TileWallpaper=1" : "TileWallpaper=0");
    b.fixed("ScreenSaveActive");
    b.section(kWindowMetricsSection);

    for (const auto& [name, slot] : kSoundSections) {
        b.section(name);
        file("DefaultValue", theme.soundPaths[slot], kSoundPattern);
    }

    b.section(kMetricsSection);
    b.fixed("IconMetrics");
    b.fixed("NonclientMetrics");
    b.section(kBootSection);
    b.slot("SCRNSAVE.EXE", "SCRNSAVE.EXE=%WinDir%System\\" + strip(theme.screenSaverPath),
           state::holdsChoice(theme.screenSaverPath, state::kScreenSaverPattern));
    b.section(kMasterSection);
    b.fixed("MTSM");
    b.fixed("ThemeColorBPP");
    b.fixed("Stretch");
    b.fixed("Crit");
    return b.finish();
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

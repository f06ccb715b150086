// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DriveMap.h"
#include "state/ThemeState.h"

namespace input {

/// Largest theme or batch file read; real ones are a few kilobytes.
inline constexpr std::size_t kMaxThemeFileBytes = 1024 * 1024;

/// INI text as Windows' profile functions read it: section and key names without regard to
/// letter case, the first of two equal keys in a section counts, ";" starts a comment line,
/// blanks around names and values are trimmed.
class IniText {
public:
    /// Parses decoded UTF-8 text with CR LF, LF or CR line ends.
    explicit IniText(std::string_view utf8);

    /// The value of a key, or nullopt when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;

private:
    struct Entry {
        std::string section;  // folded to lower case
        std::string key;      // folded to lower case
        std::string value;
    };
    std::vector<Entry> m_entries;
    std::vector<std::string> m_sections;  // folded to lower case
};

/// File bytes as UTF-8 text: UTF-8 after a byte-order mark, Windows-1252 otherwise.
std::string decodeWindowsText(std::string_view bytes);

/// What opening a theme found that the user should hear about.
struct OpenReport {
    std::vector<std::string> missingFiles;   // referenced files that are not there (kept in slots)
    std::vector<std::string> embeddedIcons;  // icons inside a program file, left out
    std::vector<std::string> badColors;      // "Key=value" lines whose colour was not taken
    /// Files found outside the theme file's own folder tree (links followed), kept in their
    /// slots until the user agrees or refuses: a theme from elsewhere could name anything.
    std::vector<std::string> outsideFiles;
    bool empty() const {
        return missingFiles.empty() && embeddedIcons.empty() && badColors.empty() &&
               outsideFiles.empty();
    }
};

struct OpenedTheme {
    state::ThemeState theme;
    OpenReport report;
};

/// The theme, or why the file cannot be opened (in words for the user).
struct OpenResult {
    std::optional<OpenedTheme> opened;
    std::string error;
};

/// Reads the theme file at a Windows path into a fresh state: the file's base name becomes
/// the theme name, every referenced file is looked up on the host (letter case ignored, the
/// theme's own folder as a fallback), and the logo batch file beside it fills the logos.
OpenResult openTheme(const platform::DriveMap& drives, std::string_view windowsPath);

/// The state a theme text gives, with the theme's folder as a Windows path (no trailing
/// backslash). Nullopt with the reason when the bytes are no theme file.
OpenResult readThemeText(const platform::DriveMap& drives, std::string_view bytes,
                         std::string_view themeFolder);

/// Empties every file slot that holds one of `paths`.
void leaveOut(state::ThemeState& theme, const std::vector<std::string>& paths);

/// Fills the logo slots from the lines of a logo batch file.
void readLogoBatch(const platform::DriveMap& drives, std::string_view bytes,
                   std::string_view themeFolder, OpenedTheme& into);

/// The colours a theme file sets, by colour slot: a colour it does not set (or sets to no
/// valid value, listed in badColors) is nullopt.
struct ThemeColors {
    std::array<std::optional<state::Color>, state::kColorCount> colors;
    std::vector<std::string> badColors;
};
struct ThemeColorsResult {
    std::optional<ThemeColors> read;
    std::string error;  // why the file cannot be read, in words for the user
};
/// The colours of the theme text in `bytes`, read as readThemeText reads them.
ThemeColorsResult readThemeColorsText(std::string_view bytes);
/// The colours of the theme file at a Windows path, with openTheme's checks on the file.
ThemeColorsResult readThemeColors(const platform::DriveMap& drives, std::string_view windowsPath);

}  // namespace input

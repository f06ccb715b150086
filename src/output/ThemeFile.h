// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/TextFile.h"
#include "state/ThemeState.h"

namespace output {

/// The text after the last backslash of a path; the whole path when it has none.
std::string strip(std::string_view path);

/// A colour as the theme file writes it: " red green blue", each value after one blank.
std::string colorText(state::Color color);

/// Number of lines in every theme file.
inline constexpr std::size_t kThemeFileLineCount = 105;

/// The lines of the theme file for a state, as UTF-8 text without line ends: the 105 fixed
/// lines, with an opened theme's kept keys in their sections and its other sections after them.
std::vector<std::string> themeFileLines(const state::ThemeState& theme);

/// A kept key's line: as read, or naming the copy of the file it names.
std::string keptLine(const state::KeptKey& kept);

/// The kept keys whose files the theme file names, to be copied with the assets.
std::vector<const state::KeptKey*> keptFilesWritten(const state::ThemeState& theme);

/// Writes the lines to out, one write per line, in Windows-1252. A line whose write
/// fails is skipped and the next one is tried; false when any write failed.
bool writeThemeFile(const state::ThemeState& theme, platform::TextFile& out);

/// A line's bytes as written to a Windows text file: Windows-1252, and a CR or LF in the
/// text (which would start a new line) written as '?'.
std::string windowsLineBytes(std::string_view utf8Line);

}  // namespace output

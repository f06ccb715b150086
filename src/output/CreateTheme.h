#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/TextFile.h"
#include "state/ThemeState.h"

namespace output {

/// Writes one "copy" line per logo slot that holds a choice, slots 0 to 2; false when a
/// write failed. A logo whose name would break the line's quoting gets no line; it is added
/// to `skipped` when given.
bool writeLogoBatch(const state::ThemeState& theme, platform::TextFile& out,
                    std::vector<std::string>* skipped = nullptr);

/// Copies every asset into the current folder in the fixed order (icons, logos, sounds,
/// pointers, screen saver, wallpaper). Returns the chosen files that could not be copied.
std::vector<std::string> copyAssets(const state::ThemeState& theme, platform::FileSystem& files);

/// What "Create Theme" runs: checks the name, makes C:\skinvault\<name>, writes the theme
/// file and the logo batch file, tells the user, then copies the assets.
void createTheme(const state::ThemeState& theme, platform::FileSystem& files,
                 platform::MessageBoxes& messages);

}  // namespace output

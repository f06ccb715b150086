// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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

/// Where the asset copies stand: the file about to be copied (a Windows path) and the bytes
/// of the chosen files copied so far, out of all of them.
struct CopyProgress {
    std::string file;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

/// A file slot of the theme and its pick pattern.
struct AssetSlot {
    const std::string* path;
    std::string_view pattern;
};
/// Every file slot, in the order the copies run: the files of kept keys, icons, logos, sounds, pointers, screen
/// saver, wallpaper (a later copy of the same name wins).
std::vector<AssetSlot> assetSlotsInCopyOrder(const state::ThemeState& theme);

/// Copies every asset into the current folder in the fixed order (icons, logos, sounds,
/// pointers, screen saver, wallpaper), calling `progress` before each chosen file and once at
/// the end. Once `cancel` is set no further copy starts. Returns the chosen files that were
/// not copied, each with the reason.
std::vector<std::string> copyAssets(const state::ThemeState& theme, platform::FileSystem& files,
                                    const std::function<void(const CopyProgress&)>& progress = {},
                                    const std::atomic<bool>* cancel = nullptr);

/// The create procedure up to the copies: checks the name, makes C:\skinvault\<name> (left
/// current), writes the theme file and the logo batch file and tells the user. True when the
/// assets are to be copied next.
bool writeTheme(const state::ThemeState& theme, platform::FileSystem& files,
                platform::MessageBoxes& messages);

/// After the copies: the warning that lists the chosen files the theme lacks (left out by the
/// copies, or a logo whose name its batch line cannot hold), then the warnings about the
/// copies themselves (files sharing a name, pictures Windows 98 cannot read).
void reportUncopied(const state::ThemeState& theme, std::vector<std::string> missing,
                    platform::FileSystem& files, platform::MessageBoxes& messages);

/// The whole procedure in one go: writeTheme, copyAssets, reportUncopied.
void createTheme(const state::ThemeState& theme, platform::FileSystem& files,
                 platform::MessageBoxes& messages);

}  // namespace output

// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
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
/// Every file slot, in the order the copies run: the files of kept keys, icons, logos, sounds,
/// pointers, screen saver, wallpaper (a later copy of the same name wins).
std::vector<AssetSlot> assetSlotsInCopyOrder(const state::ThemeState& theme);

/// Copies every asset into the current folder in the fixed order (icons, logos, sounds,
/// pointers, screen saver, wallpaper), one FileSystem::copyFile per slot, then flushes the
/// folder. `progress` is called before each chosen file, after each chunk of a file still
/// under way, and once at the end. Once `cancel` is set the file under way stops at its next
/// chunk and no further copy starts. Returns the chosen files that were not copied, each with
/// the reason.
std::vector<std::string> copyAssets(const state::ThemeState& theme, platform::FileSystem& files,
                                    const std::function<void(const CopyProgress&)>& progress = {},
                                    const std::atomic<bool>* cancel = nullptr);

/// The Windows path Create Theme writes the theme file at: C:\skinvault\<name>\<name>.theme.
std::string themeFilePath(const state::ThemeState& theme);

/// Refuses, telling the user, a theme name that cannot name the theme folder and its files.
bool checkThemeName(const state::ThemeState& theme, platform::MessageBoxes& messages);

/// Whether Create Theme may go on: no theme file of that name exists yet, it is `ownThemeFile`
/// (the theme this run opened or last created), or the user agrees to replace it.
bool mayReplaceTheme(const state::ThemeState& theme, const platform::FileSystem& files,
                     platform::MessageBoxes& messages, std::string_view ownThemeFile);

/// Makes C:\skinvault\<name> (left current) and writes the theme file and the logo batch
/// file. Nothing when both are in place, else the message to show. It shows nothing itself,
/// so it may run on a worker thread.
std::optional<platform::Message> writeThemeFiles(const state::ThemeState& theme,
                                                 platform::FileSystem& files);

/// "Done!": the theme file is in place and the copies come next.
void tellThemeWritten(const state::ThemeState& theme, platform::MessageBoxes& messages);

/// The create procedure up to the copies on one thread: checkThemeName, mayReplaceTheme,
/// writeThemeFiles and the message it gives. True when the assets are to be copied next.
bool writeTheme(const state::ThemeState& theme, platform::FileSystem& files,
                platform::MessageBoxes& messages, std::string_view ownThemeFile = {});

/// After the copies: the warning that lists the chosen files the theme lacks (left out by the
/// copies, or a logo whose name its batch line cannot hold), then the warnings about the
/// copies themselves (files sharing a name, pictures Windows 98 cannot read).
void reportUncopied(const state::ThemeState& theme, std::vector<std::string> missing,
                    platform::FileSystem& files, platform::MessageBoxes& messages);

/// The whole procedure in one go (writeTheme, copyAssets, reportUncopied), for callers that
/// mean to replace a theme of that name: it does not ask.
void createTheme(const state::ThemeState& theme, platform::FileSystem& files,
                 platform::MessageBoxes& messages);

}  // namespace output

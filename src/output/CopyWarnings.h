// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "state/ThemeState.h"

namespace output {

/// Chosen files, in copy order, that land on one name in the theme folder as a FAT disk
/// compares names (without case): one line per name, listing every file and the one kept.
std::vector<std::string> filesSharingAName(const state::ThemeState& theme);

/// Chosen icons and cursors whose copy in the current folder holds a PNG-compressed image,
/// which Windows 95 and 98 cannot read.
std::vector<std::string> pngCompressedImages(const state::ThemeState& theme,
                                             platform::FileSystem& files);

/// After the copies: one warning for each of the lists above that is not empty.
void warnAboutCopies(const state::ThemeState& theme, platform::FileSystem& files,
                     platform::MessageBoxes& messages, const std::string& folderText);

}  // namespace output

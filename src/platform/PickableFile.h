// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DriveMap.h"
#include "platform/MessageBoxes.h"

namespace platform {

/// True when the file name matches one of the ";"-separated patterns ("*.ani;*.cur"), letters
/// compared in either case, as Windows lists files.
bool matchesPattern(std::string_view fileName, std::string_view patterns);

/// Every pattern a pick offers: the pick's own pattern and the pattern part of each further
/// "description|pattern" pair of its filter text ("Jpeg files|*.jpg|Windows bitmaps|*.bmp").
std::string offeredPatterns(std::string_view filterText, std::string_view pattern);

/// The one check of a file the user hands over, confirmed in the open-file dialog or dropped
/// on a slot: its Windows path, or nullopt after a message saying why when it is no regular
/// file (a FIFO typed into the dialog) or Windows or Windows-1252 cannot name it.
std::optional<std::string> pickablePath(const DriveMap& drives, MessageBoxes& messages,
                                        const std::filesystem::path& hostFile);

/// A file dropped on a slot whose pick offers `filterText` and `pattern`: as pickablePath,
/// and also refused (after a message) when it is no file of a kind the pick offers.
std::optional<std::string> droppedPath(const DriveMap& drives, MessageBoxes& messages,
                                       const std::filesystem::path& hostFile,
                                       std::string_view filterText, std::string_view pattern);

}  // namespace platform

// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CommonDialog.h"

namespace pages {

/// The file pick of every asset page: shows the open-file dialog listing files that match
/// the pattern, starting in the folder of the slot's current file, and returns its FileName
/// afterwards: the chosen Windows path, or the pattern (or "") when the user cancelled.
std::string pickFile(platform::CommonDialog& dialog, std::string_view filterText,
                     std::string_view pattern, std::string_view currentFile = {});

/// The slot takes the answer only when it is a choice, so a cancelled or refused pick keeps
/// the earlier one; true when it was stored.
bool pickTestThenStore(platform::CommonDialog& dialog, std::string_view filterText,
                       std::string_view pattern, std::string& slot);

/// A host file dropped on a slot, taken as if picked in that slot's dialog: its Windows path,
/// or nullopt when it was refused (the dialog has said why).
std::optional<std::string> dropFile(platform::CommonDialog& dialog, std::string_view filterText,
                                    std::string_view pattern,
                                    const std::filesystem::path& hostFile);

}  // namespace pages

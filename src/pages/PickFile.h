#pragma once

#include <string>
#include <string_view>

#include "platform/CommonDialog.h"

namespace pages {

/// The file pick of every asset page: shows the open-file dialog listing files that match
/// the pattern and returns its FileName afterwards: the chosen Windows path, or the pattern
/// (or "") when the user cancelled. The caller decides how to store the answer.
std::string pickFile(platform::CommonDialog& dialog, std::string_view filterText,
                     std::string_view pattern);

}  // namespace pages

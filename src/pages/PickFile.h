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

/// Store, then test: the answer goes into the slot at once (a cancel leaves the pattern);
/// true when the slot now holds a choice, so the page goes on to show it.
bool pickStoreThenTest(platform::CommonDialog& dialog, std::string_view filterText,
                       std::string_view pattern, std::string& slot);

/// Test, then store: the slot takes the answer only when it is a choice, so a cancel keeps
/// the earlier one; true when it was stored.
bool pickTestThenStore(platform::CommonDialog& dialog, std::string_view filterText,
                       std::string_view pattern, std::string& slot);

}  // namespace pages

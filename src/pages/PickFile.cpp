// SPDX-License-Identifier: MIT
#include "pages/PickFile.h"

#include <utility>

#include "state/ThemeState.h"

namespace pages {

std::string pickFile(platform::CommonDialog& dialog, std::string_view filterText,
                     std::string_view pattern, std::string_view currentFile) {
    dialog.Filter = std::string(filterText);
    dialog.FileName = std::string(pattern);
    const auto folderEnd = currentFile.rfind('\\');
    dialog.InitDir = state::holdsChoice(currentFile, pattern) && folderEnd != std::string_view::npos
                         ? std::string(currentFile.substr(0, folderEnd + 1))
                         : std::string();
    dialog.ShowOpen();
    // Whatever dialog answered, a name with a quote or a control character would break the
    // batch file's quoting and the theme file's lines: it ends as a cancel.
    for (unsigned char c : dialog.FileName)
        if (c == '"' || c < 0x20) return std::string(pattern);
    return dialog.FileName;
}

bool pickTestThenStore(platform::CommonDialog& dialog, std::string_view filterText,
                       std::string_view pattern, std::string& slot) {
    std::string picked = pickFile(dialog, filterText, pattern, slot);
    if (!state::holdsChoice(picked, pattern)) return false;
    slot = std::move(picked);
    return true;
}

std::optional<std::string> dropFile(platform::CommonDialog& dialog, std::string_view filterText,
                                    std::string_view pattern,
                                    const std::filesystem::path& hostFile) {
    dialog.Filter = std::string(filterText);
    dialog.FileName = std::string(pattern);
    return dialog.acceptFile(hostFile);
}

}  // namespace pages

#include "pages/PickFile.h"

#include <utility>

#include "state/ThemeState.h"

namespace pages {

std::string pickFile(platform::CommonDialog& dialog, std::string_view filterText,
                     std::string_view pattern) {
    dialog.Filter = std::string(filterText);
    dialog.FileName = std::string(pattern);
    dialog.ShowOpen();
    // Whatever dialog answered, a name with a quote or a control character would break the
    // batch file's quoting and the theme file's lines: it ends as a cancel.
    for (unsigned char c : dialog.FileName)
        if (c == '"' || c < 0x20) return std::string(pattern);
    return dialog.FileName;
}

bool pickStoreThenTest(platform::CommonDialog& dialog, std::string_view filterText,
                       std::string_view pattern, std::string& slot) {
    slot = pickFile(dialog, filterText, pattern);
    return state::holdsChoice(slot, pattern);
}

bool pickTestThenStore(platform::CommonDialog& dialog, std::string_view filterText,
                       std::string_view pattern, std::string& slot) {
    std::string picked = pickFile(dialog, filterText, pattern);
    if (!state::holdsChoice(picked, pattern)) return false;
    slot = std::move(picked);
    return true;
}

}  // namespace pages

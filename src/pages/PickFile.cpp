#include "pages/PickFile.h"

#include <utility>

#include "state/ThemeState.h"

namespace pages {

std::string pickFile(platform::CommonDialog& dialog, std::string_view filterText,
                     std::string_view pattern) {
    dialog.Filter = std::string(filterText);
    dialog.FileName = std::string(pattern);
    dialog.ShowOpen();
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

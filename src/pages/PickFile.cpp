#include "pages/PickFile.h"

namespace pages {

std::string pickFile(platform::CommonDialog& dialog, std::string_view filterText,
                     std::string_view pattern) {
    dialog.Filter = std::string(filterText);
    dialog.FileName = std::string(pattern);
    dialog.ShowOpen();
    return dialog.FileName;
}

}  // namespace pages

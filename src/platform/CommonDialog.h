#pragma once

#include <cstdint>
#include <string>

namespace platform {

/// The shared open-file and colour dialog. Callers set Filter and FileName, call ShowOpen and
/// read FileName; or call ShowColor and read Color.
class CommonDialog {
public:
    virtual ~CommonDialog() = default;

    /// Description of the files offered (a "|" may separate it from a pattern part).
    std::string Filter;
    /// On the way in the pattern of files to list (";" separates several); after a confirmed
    /// pick the full Windows path of the chosen file; a cancel leaves it unchanged.
    std::string FileName;
    /// The current colour (red in the lowest byte); black at first, changed only by a
    /// confirmed ShowColor, kept for the whole run.
    std::uint32_t Color = 0;

    /// Shows the modal open-file dialog; returns normally whether confirmed or cancelled.
    virtual void ShowOpen() = 0;
    /// Shows the modal colour dialog.
    virtual void ShowColor() = 0;
};

}  // namespace platform

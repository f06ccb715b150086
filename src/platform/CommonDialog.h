// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

/// The shared open-file and colour dialog. Callers set Filter, FileName and InitDir, call
/// ShowOpen and read FileName; or set Color, call ShowColor and read Color.
class CommonDialog {
public:
    virtual ~CommonDialog() = default;

    /// Description of the files offered (a "|" may separate it from a pattern part); further
    /// "|description|pattern" pairs offer more kinds of file.
    std::string Filter;
    /// On the way in the pattern of files to list (";" separates several); after a confirmed
    /// pick the full Windows path of the chosen file; a cancel leaves it unchanged.
    std::string FileName;
    /// The current colour (red in the lowest byte); black at first, changed only by a
    /// confirmed ShowColor, kept for the whole run.
    std::uint32_t Color = 0;
    /// The colours the colour dialog offers as its custom colours (the first 16 count).
    std::vector<std::uint32_t> CustomColors;
    /// The folder (a Windows path) the open-file dialog starts in; "" or a folder that does not
    /// exist lets it start where the last pick of this run ended, or in the home folder.
    std::string InitDir;

    /// Shows the modal open-file dialog; returns normally whether confirmed or cancelled.
    virtual void ShowOpen() = 0;
    /// Shows the modal colour dialog.
    virtual void ShowColor() = 0;
    /// A file handed over another way (dropped on a slot) for a pick with the current Filter
    /// and FileName pattern: its Windows path, or nullopt after a message saying why it cannot
    /// be used (another kind of file, or a name Windows cannot hold). FileName is not changed.
    virtual std::optional<std::string> acceptFile(const std::filesystem::path& hostFile) = 0;
};

}  // namespace platform

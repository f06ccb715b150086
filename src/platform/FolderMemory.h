// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

/// Remembers, from one run to the next, the folder each kind of open-file dialog (known by the
/// pattern it lists, such as "*.ico") last ended in.
class FolderMemory {
public:
    virtual ~FolderMemory() = default;
    /// The host folder the dialog for this pattern last ended in; empty when none is known.
    virtual std::filesystem::path lastFolder(std::string_view pattern) const = 0;
    /// Remembers where a confirmed pick for this pattern ended; other patterns are not kept.
    virtual void rememberFolder(std::string_view pattern, const std::filesystem::path& folder) = 0;
};

}  // namespace platform

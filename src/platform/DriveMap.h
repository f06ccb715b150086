// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// Maps Windows drives to host folders: the code speaks Windows paths ("C:\Art\Sky.ico"),
/// only platform implementations turn them into host paths.
class DriveMap {
public:
    /// The host's map: on Windows the real drives; elsewhere C: is the user's home folder
    /// and Z: the root of the file system, as Wine presents them.
    static DriveMap forHost();

    /// Maps a drive letter (either case) to an absolute host folder.
    void map(char drive, const std::filesystem::path& root);

    /// Host root of a drive, if mapped.
    std::optional<std::filesystem::path> root(char drive) const;

    /// Host path of a full Windows path such as "C:\a\b.ico"; nullopt for an unmapped drive,
    /// a relative path, or a component that is not a valid Windows name ("..", "a/b", ...).
    std::optional<std::filesystem::path> toHost(std::string_view windowsPath) const;

    /// Windows path of an absolute host path, under the mapped root that holds it most
    /// closely. Nullopt (with the reason in whyNot) when no drive holds it, or when one of its
    /// components cannot be a Windows name or cannot be written in Windows-1252.
    std::optional<std::string> toWindows(const std::filesystem::path& hostPath,
                                         std::string* whyNot = nullptr) const;

private:
    std::map<char, std::filesystem::path> m_roots;  // upper-case letter -> host folder
};

}  // namespace platform

// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/DriveMap.h"
#include "platform/FileSystem.h"

namespace platform {

/// FileSystem on the host's disks through a drive map. Text files and copies are written
/// under an unguessable, exclusive name (or unnamed) beside their target and renamed over it
/// once complete, so a failure never leaves a half-written file in place of a good one and a
/// link at the target is replaced, never written through. Each call owns its own state:
/// copies of different files may run on different threads (each with its own
/// HostFileSystem, since the current folder is shared).
class HostFileSystem : public FileSystem {
public:
    explicit HostFileSystem(DriveMap drives);

    bool changeDrive(char drive) override;
    bool changeFolder(std::string_view name) override;
    bool makeFolder(std::string_view name) override;
    std::unique_ptr<TextFile> createTextFile(std::string_view name) override;
    bool copyFile(std::string_view sourcePath, std::string_view targetName) override;
    bool writeFile(std::string_view name, std::string_view bytes) override;
    std::optional<std::uint64_t> fileSize(std::string_view sourcePath) const override;
    std::optional<std::string> readStart(std::string_view name, std::size_t maxBytes) override;
    std::string currentFolder() const override;
    std::string lastError() const override { return m_lastError; }

private:
    std::filesystem::path hostFolder() const;
    bool fail(std::string reason);
    bool checkName(std::string_view name);
    std::optional<int> openFolder();
    static std::string whatIsInTheWay(const std::filesystem::path& target);

    DriveMap m_drives;
    char m_drive = 'C';
    std::vector<std::string> m_folders;  // folder names below the drive's root
    std::string m_lastError;
};

}  // namespace platform

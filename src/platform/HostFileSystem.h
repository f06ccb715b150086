#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/DriveMap.h"
#include "platform/FileSystem.h"

namespace platform {

/// FileSystem on the host's disks through a drive map. Text files are written beside their
/// target and renamed over it once complete; copies likewise, so a failure never leaves a
/// half-written file in place of a good one.
class HostFileSystem : public FileSystem {
public:
    explicit HostFileSystem(DriveMap drives);

    bool changeDrive(char drive) override;
    bool changeFolder(std::string_view name) override;
    bool makeFolder(std::string_view name) override;
    std::unique_ptr<TextFile> createTextFile(std::string_view name) override;
    bool copyFile(std::string_view sourcePath, std::string_view targetName) override;
    std::optional<std::uint64_t> fileSize(std::string_view sourcePath) const override;
    std::string currentFolder() const override;
    std::string lastError() const override { return m_lastError; }

private:
    std::filesystem::path hostFolder() const;
    bool fail(std::string reason);
    bool checkName(std::string_view name);

    DriveMap m_drives;
    char m_drive = 'C';
    std::vector<std::string> m_folders;  // folder names below the drive's root
    std::string m_lastError;
};

}  // namespace platform

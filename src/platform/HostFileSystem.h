// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/DriveMap.h"
#include "platform/FileSystem.h"

namespace platform {

/// FileSystem on the host's disks through a drive map. The current folder is held open from
/// the moment it is entered, and everything made in it is made relative to that handle, so a
/// folder swapped for a link meanwhile cannot redirect anything. Text files and copies are
/// written under an unguessable, exclusive name (or unnamed) beside their target, flushed and
/// renamed over it once complete, so a failure never leaves a half-written file in place of a
/// good one and a link at the target is replaced, never written through. Each call owns its
/// own state: copies of different files may run on different threads (each with its own
/// HostFileSystem, since the current folder is shared).
class HostFileSystem : public FileSystem {
public:
    /// `openFiles` is where the system names this process's open files (/proc/self/fd); where
    /// it is missing (no /proc in a sandbox) files are written under a temporary name instead.
    explicit HostFileSystem(DriveMap drives, std::string openFiles = "/proc/self/fd");
    ~HostFileSystem() override;
    HostFileSystem(const HostFileSystem&) = delete;
    HostFileSystem& operator=(const HostFileSystem&) = delete;

    bool changeDrive(char drive) override;
    bool changeFolder(std::string_view name) override;
    bool changeFolderThroughOwnLink(std::string_view name) override;
    bool makeFolder(std::string_view name) override;
    std::unique_ptr<TextFile> createTextFile(std::string_view name) override;
    bool copyFile(std::string_view sourcePath, std::string_view targetName,
                  const CopyWatch& watch = {}) override;
    bool writeFile(std::string_view name, std::string_view bytes) override;
    std::optional<std::uint64_t> fileSize(std::string_view sourcePath) const override;
    bool fileExists(std::string_view path) const override;
    bool flushFolder() override;
    std::optional<std::string> readStart(std::string_view name, std::size_t maxBytes) override;
    std::string currentFolder() const override;
    std::string lastError() const override { return m_lastError; }

    /// Bytes a copy moves between two looks at its watch: small enough that a stop is felt
    /// at once on a slow disk.
    static constexpr std::uint64_t kCopyChunk = 1024 * 1024;

private:
    bool fail(std::string reason);
    bool checkName(std::string_view name);
    int folder();
    bool enter(std::string_view name, bool throughOwnLink);
    void hold(int fd);

    DriveMap m_drives;
    std::string m_openFiles;
    char m_drive = 'C';
    std::vector<std::string> m_folders;  // folder names below the drive's root
    int m_folder = -1;                   // the current folder, held open; -1 before first use
    std::string m_lastError;
};

}  // namespace platform

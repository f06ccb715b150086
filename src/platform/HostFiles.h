// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

/// Whether an open file lies on one of the kernel's virtual file systems (/proc, /sys,
/// debugfs, cgroups and the like), whose files report sizes that mean nothing and may never
/// end, or hold the process's own secrets. Judged by the file system, never by the path.
bool isSystemFileSystem(int fd);

/// The whole content of a regular file of at most maxBytes. Nullopt, with the reason in
/// words for the user in whyNot, for a folder, a FIFO, a device, a larger file, or one that
/// cannot be read. A FIFO is never waited on.
std::optional<std::string> readRegularFile(const std::filesystem::path& hostPath,
                                           std::size_t maxBytes, std::string* whyNot = nullptr);

/// The regular file at hostPath, each component matched without regard to letter case as
/// Windows would (an exact match wins); the path as it is spelt on disk, or nullopt.
std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& hostPath);

/// ASCII letters folded to lower case; other bytes unchanged.
std::string asciiLower(std::string text);

}  // namespace platform

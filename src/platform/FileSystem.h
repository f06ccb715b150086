// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/TextFile.h"

namespace platform {

/// Told the bytes copied so far after each chunk of a copy; false stops a copy not yet complete.
using CopyWatch = std::function<bool(std::uint64_t bytesCopied)>;

/// The file operations the create procedure needs, on Windows drives. It keeps its own
/// current drive and folder (the process's working folder never changes) and refuses any
/// name that is not a single valid Windows name. Every operation reports failure by its
/// return value; lastError() then says why, in words for the user.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    /// Makes the drive (a letter, either case) current, at its root.
    virtual bool changeDrive(char drive) = 0;
    /// "\" goes to the root of the current drive; any other text must be one folder name
    /// in the current folder.
    virtual bool changeFolder(std::string_view name) = 0;
    /// Like changeFolder, but a link of that name owned by this user is followed once: the
    /// folder it leads to is held from then on (a vault kept on another disk). Links below
    /// it are never entered.
    virtual bool changeFolderThroughOwnLink(std::string_view name) { return changeFolder(name); }
    /// Creates one folder in the current folder; fails when it exists already.
    virtual bool makeFolder(std::string_view name) = 0;
    /// Opens a text file of that name in the current folder for output. The file replaces
    /// an earlier one of the same name only when it is closed complete; nullptr on failure.
    virtual std::unique_ptr<TextFile> createTextFile(std::string_view name) = 0;
    /// Copies the file at a full Windows path to a name in the current folder, replacing a
    /// file of that name; a source that already is the target leaves it intact. The copy goes
    /// in chunks, `watch` told after each; a copy it stops fails and leaves nothing.
    virtual bool copyFile(std::string_view sourcePath, std::string_view targetName,
                          const CopyWatch& watch = {}) = 0;
    /// Whether a regular file stands at a full Windows path (a link there is no file).
    virtual bool fileExists(std::string_view path) const { return fileSize(path).has_value(); }
    /// Makes the names made, replaced or removed in the current folder durable.
    virtual bool flushFolder() { return true; }
    /// Writes a new file of that name in the current folder from bytes (a converted copy),
    /// replacing an earlier one only once it is complete, as a text file is.
    virtual bool writeFile(std::string_view name, std::string_view bytes) {
        (void)name;
        (void)bytes;
        return false;
    }
    /// The size in bytes of the file at a full Windows path; nothing when it cannot be read
    /// (progress reports only: a copy does not depend on it).
    virtual std::optional<std::uint64_t> fileSize(std::string_view sourcePath) const {
        (void)sourcePath;
        return std::nullopt;
    }
    /// Up to maxBytes from the start of a regular file in the current folder (never through
    /// a link); nullopt when it cannot be read. Used to judge copies already made.
    virtual std::optional<std::string> readStart(std::string_view /*name*/,
                                                 std::size_t /*maxBytes*/) {
        return std::nullopt;
    }
    /// The current folder as a Windows path, such as "C:\skinvault\Autumn".
    virtual std::string currentFolder() const = 0;
    /// Why the last failed operation failed.
    virtual std::string lastError() const = 0;
};

}  // namespace platform

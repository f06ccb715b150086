// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace exporting {

/// What an export writes: a zip pack, a CD image, or files into a hard disk image.
enum class Kind { Zip, Iso, DiskImage };

/// The kind a target file's extension asks for (.zip, .iso, .img/.ima/.hdd/.vhd, any case).
std::optional<Kind> kindForPath(const std::filesystem::path& target);

/// Where an export stands: a step for the user and the bytes done out of all.
struct Progress {
    std::string step;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};
using ProgressFn = std::function<void(const Progress&)>;

/// How an export ended: what it wrote (one line each, for the user), or why it wrote nothing.
struct Result {
    bool ok = false;
    std::string error;
    std::vector<std::string> written;
    std::vector<std::string> warnings;  // what the user should know though it went in
};

/// The theme folder to pack: its host path and the theme's name (the folder's name).
struct ThemeFolder {
    std::filesystem::path host;
    std::string name;
};

/// A zip pack: <name>/... (the theme folder), INSTALL.BAT and README.TXT at the top; deflate,
/// entry names in code page 437. Written to a temporary file renamed over `target` when whole.
Result writeZip(const ThemeFolder& theme, const std::filesystem::path& target,
                const ProgressFn& progress = {}, const std::atomic<bool>* cancel = nullptr);

/// A CD image: ISO 9660 (8.3 names for DOS) with Joliet (long names for Windows), labelled
/// with the theme's name, holding <name>/... and INSTALL.BAT.
Result writeIso(const ThemeFolder& theme, const std::filesystem::path& target,
                const ProgressFn& progress = {}, const std::atomic<bool>* cancel = nullptr);

/// INSTALL.BAT: copies the folder beside it to C:\SKINVAULT\<name> and runs the logo batch
/// there. Windows-1252 with CR LF.
std::string installBatch(const std::string& themeName);
/// README.TXT: how to install, for the kind given. Windows-1252 with CR LF.
std::string readmeText(const std::string& themeName, Kind kind);
/// The ISO volume label a theme name gives: upper case, A-Z 0-9 _ only, 32 at most.
std::string volumeLabel(const std::string& themeName);

}  // namespace exporting

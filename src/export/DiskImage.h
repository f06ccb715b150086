// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "export/DiskLayout.h"
#include "export/Export.h"

namespace exporting {

/// What the user chose for a disk image.
struct DiskOptions {
    /// The MBR partition (1 to 4) to write to; 0 takes the first FAT partition.
    int partition = 0;
    /// Also put the logos in place (C:\LOGO.SYS, C:\WINDOWS\LOGOW.SYS, C:\WINDOWS\LOGOS.SYS),
    /// keeping the files they replace as .OLD.
    bool installLogos = false;
    /// Write straight into the image instead of a copy renamed over it when complete.
    bool inPlace = false;
    /// The logo files' names in the theme folder, slot by slot; empty where none was chosen.
    std::array<std::string, 3> logoFiles;
};

/// What can be known about an image before anything is written.
struct DiskCheck {
    std::string refusal;  // not empty: the image cannot be written, and why
    DiskLayout layout;
    std::uint64_t bytes = 0;
    bool reflinks = false;  // a copy beside it costs nothing
    /// True when the safe copy would take long (no reflinks, a big image): the user may
    /// choose to write in place instead.
    bool copyIsSlow() const;
};

/// Reads the image's head and tail, tests whether another program holds it open for writing
/// (an OFD lock test) and whether the file system beside it can clone it. Writes nothing.
DiskCheck checkDiskImage(const std::filesystem::path& image);

/// The sentence "Write in place" is offered with: what a copy costs and what the risk is.
std::string inPlaceRisk(const DiskCheck& check);

/// Copies the theme folder to C:\SKINVAULT\<name>\ on the chosen FAT partition (and the
/// theme file into C:\Program Files\Plus!\Themes\ when that folder exists, and the logos on
/// request) through mtools. Unless `inPlace`, the work is done on a clone or copy beside the
/// image, renamed over it only when every file went in and the image did not change meanwhile.
Result writeDiskImage(const ThemeFolder& theme, const std::filesystem::path& image,
                      const DiskOptions& options, const ProgressFn& progress = {},
                      const std::atomic<bool>* cancel = nullptr);

}  // namespace exporting

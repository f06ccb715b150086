// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <filesystem>

#include "export/DiskImage.h"
#include "export/Export.h"
#include "platform/DriveMap.h"
#include "state/ThemeState.h"

namespace window {

/// An export as the user asked for it: the target file, its kind and, for a disk image, the
/// partition, logos and in-place choices.
struct ExportRequest {
    std::filesystem::path target;
    exporting::Kind kind = exporting::Kind::Zip;
    exporting::DiskOptions disk;
};

/// Creates the theme folder C:\skinvault\<name> as "Create Theme" does (the create
/// procedure's messages become the result's error or warnings; nothing is shown), then packs
/// it into the target. Runs on any thread; uses a file system of its own on `drives`. The
/// window's dialog and `--export` both run this.
exporting::Result runExport(const state::ThemeState& theme, const platform::DriveMap& drives,
                            const ExportRequest& request,
                            const exporting::ProgressFn& progress = {},
                            const std::atomic<bool>* cancel = nullptr);

}  // namespace window

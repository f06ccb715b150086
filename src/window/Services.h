// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CommonDialog.h"
#include "platform/DriveMap.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureLoader.h"
#include "platform/ProgramLauncher.h"
#include "platform/WavePlayer.h"

namespace window {

/// The platform services Form1 and its pages use; owned by main (or a test) for the whole run.
struct Services {
    platform::FileSystem& fileSystem;
    platform::MessageBoxes& messageBoxes;
    platform::CommonDialog& commonDialog;
    platform::PictureLoader& pictureLoader;
    platform::WavePlayer& wavePlayer;
    platform::ProgramLauncher& programLauncher;
    /// The drives the theme reader resolves Windows paths on.
    const platform::DriveMap& drives;
};

}  // namespace window

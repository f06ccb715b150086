// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "platform/DriveMap.h"
#include "platform/ProgramLauncher.h"

namespace platform {

/// Starts programs with QProcess::startDetached, the program and each argument passed apart.
/// Away from Windows, a Windows program (a file beginning with "MZ") is handed to the `wine`
/// found on PATH, and fails to start when there is none.
class QtProgramLauncher : public ProgramLauncher {
public:
    explicit QtProgramLauncher(const DriveMap& drives);

    bool start(const std::string& windowsProgramPath,
               const std::vector<std::string>& arguments) override;
    bool lacksWine(const std::string& windowsProgramPath) override;
    /// Opens the folder through the desktop (QDesktopServices).
    bool showFolder(const std::string& windowsFolderPath) override;

private:
    DriveMap m_drives;
};

}  // namespace platform

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace platform {

/// Starts programs without waiting for them.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    /// Starts the program at a full Windows path with these arguments, each passed as it is
    /// (never through a shell or a command line split at blanks); true when it started.
    virtual bool start(const std::string& windowsProgramPath,
                       const std::vector<std::string>& arguments) = 0;
    /// True when the program at a full Windows path is a Windows program and nothing here can
    /// run it (no Wine installed), so start() fails for that reason.
    virtual bool lacksWine(const std::string& windowsProgramPath) {
        (void)windowsProgramPath;
        return false;
    }
    /// Shows the folder at a full Windows path in the desktop's file manager.
    virtual bool showFolder(const std::string& windowsFolderPath) = 0;
};

}  // namespace platform

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "platform/ProgramLauncher.h"

namespace fakes {

/// Records every start and answers with `succeeds`.
class RecordingProgramLauncher : public platform::ProgramLauncher {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
    };
    bool start(const std::string& windowsProgramPath,
               const std::vector<std::string>& arguments) override {
        starts.push_back({windowsProgramPath, arguments});
        return succeeds;
    }
    bool lacksWine(const std::string&) override { return wineMissing; }
    bool showFolder(const std::string& windowsFolderPath) override {
        shownFolders.push_back(windowsFolderPath);
        return succeeds;
    }

    std::vector<Start> starts;
    std::vector<std::string> shownFolders;
    bool succeeds = true;
    bool wineMissing = false;
};

}  // namespace fakes

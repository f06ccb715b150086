// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/WavePlayer.h"

namespace fakes {

/// Records the settings and commands it is given, in order, as "device=...", "file=..."
/// and "command=..." entries.
class RecordingWavePlayer : public platform::WavePlayer {
public:
    void setDeviceType(std::string_view deviceType) override {
        calls.push_back("device=" + std::string(deviceType));
    }
    void setFileName(std::string_view windowsPath) override {
        calls.push_back("file=" + std::string(windowsPath));
    }
    bool setCommand(std::string_view command) override {
        calls.push_back("command=" + std::string(command));
        return commandsSucceed;
    }

    std::vector<std::string> calls;
    bool commandsSucceed = true;
};

}  // namespace fakes

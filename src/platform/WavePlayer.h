// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace platform {

/// Wave playback in the manner of a multimedia control: set the device type and the file
/// name, then run commands. "close" stops and releases what plays (harmless when nothing is
/// open), "open" opens the file as a device of the type set, "play" starts playback from the
/// beginning and returns at once, "stop" silences it and keeps the file open for another
/// "play".
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    virtual void setDeviceType(std::string_view deviceType) = 0;
    /// A full Windows path.
    virtual void setFileName(std::string_view windowsPath) = 0;
    /// Runs "close", "open", "play" or "stop"; false when the command failed.
    virtual bool setCommand(std::string_view command) = 0;
};

}  // namespace platform

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DriveMap.h"
#include "platform/WavePlayer.h"

namespace platform {

/// Wave playback on SDL2's audio subsystem, initialised on the first "open" and quit on
/// destruction. "open" decodes the whole file (PCM 8/16-bit, MS and IMA ADPCM, mu-law, A-law)
/// into an audio device in the file's own sample format, so SDL converts to the hardware's
/// format and nothing is resampled here; "play" queues the samples and returns; "close" stops
/// the sound at once and releases it. A truncated wave plays the complete sample frames it
/// holds. Commands are case-insensitive; none throws.
///
/// The device outlives "close" and serves the next wave of the same format: closing an SDL
/// device joins its thread, which costs up to two buffer periods (tens of milliseconds) that a
/// preview would otherwise spend before its sound starts.
class SdlWavePlayer : public WavePlayer {
public:
    explicit SdlWavePlayer(const DriveMap& drives);
    ~SdlWavePlayer() override;
    SdlWavePlayer(const SdlWavePlayer&) = delete;
    SdlWavePlayer& operator=(const SdlWavePlayer&) = delete;

    void setDeviceType(std::string_view deviceType) override;
    void setFileName(std::string_view windowsPath) override;
    bool setCommand(std::string_view command) override;

private:
    bool ensureAudio();
    bool open();
    bool play();
    bool stop();
    void close();
    void releaseDevice();

    DriveMap m_drives;
    std::string m_deviceType;
    std::string m_fileName;
    bool m_audioReady = false;
    std::uint32_t m_device = 0;  // SDL_AudioDeviceID, 0 when none is held
    int m_deviceFrequency = 0;   // the format the held device was opened with
    std::uint16_t m_deviceFormat = 0;
    std::uint8_t m_deviceChannels = 0;
    bool m_open = false;
    std::uint8_t* m_samples = nullptr;  // owned, from SDL_LoadWAV
    std::uint32_t m_length = 0;
};

}  // namespace platform

// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/DriveMap.h"
#include "platform/WavePlayer.h"

namespace platform {

/// Wave playback: libsndfile decodes the file in a stream (PCM, MS and IMA ADPCM, mu-law,
/// A-law, GSM 6.10) and SDL2 plays it. SDL audio starts on the first "open", which also opens
/// the one output device, at a fixed format, kept until the player goes: closing an SDL device
/// waits out two of its buffers (tens of milliseconds), so every wave is converted to the
/// device's format with an SDL_AudioStream instead. "open" reads the file's header; "play"
/// queues the first buffer, hands the rest to a decoding thread (which queues a buffer at a
/// time, never more than half a second ahead) and returns at once; "close" stops the sound at
/// once. A truncated wave plays the complete sample frames it holds. Commands are
/// case-insensitive; none throws.
class SdlWavePlayer : public WavePlayer {
public:
    /// The device's format: what every wave is converted to.
    static constexpr int kDeviceFrequency = 44100;
    static constexpr int kDeviceChannels = 2;

    explicit SdlWavePlayer(const DriveMap& drives);
    ~SdlWavePlayer() override;
    SdlWavePlayer(const SdlWavePlayer&) = delete;
    SdlWavePlayer& operator=(const SdlWavePlayer&) = delete;

    void setDeviceType(std::string_view deviceType) override;
    void setFileName(std::string_view windowsPath) override;
    bool setCommand(std::string_view command) override;

    /// Bytes queued on the device and not yet played (for benchmarks).
    std::uint32_t queuedBytes() const;

private:
    struct WaveFile;
    struct Job;
    bool ensureAudio();
    bool open();
    bool play();
    bool stop();
    void close();
    /// Drops the sound playing and what is queued; the decoding thread lets go of it.
    void silence();
    void decodeLoop();

    DriveMap m_drives;
    std::string m_deviceType;
    std::string m_fileName;
    bool m_audioReady = false;
    std::uint32_t m_device = 0;                  // SDL_AudioDeviceID, 0 until the first open
    std::shared_ptr<const WaveFile> m_openFile;  // the file "open" accepted; null when none
    std::unique_ptr<Job> m_opened;      // its header, read by "open", until "play" takes it
    std::vector<short> m_firstSamples;  // the buffers "play" decodes its first step into
    std::vector<std::uint8_t> m_firstBuffer;

    // The decoding thread and what it works on, guarded by m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unique_ptr<Job> m_playing;
    std::uint64_t m_generation = 0;  // bumped by every play and close: a stale buffer is dropped
    bool m_quit = false;
    std::thread m_decoder;
};

}  // namespace platform

#include "platform/qt/SdlWavePlayer.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace platform {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// About 20 ms of sound per device buffer: short enough that a preview starts at once, long
// enough not to underrun. SDL wants a power of two.
Uint16 bufferFrames(int frequency) {
    Uint16 frames = 256;
    while (frames < 8192 && frames < frequency / 50) frames = static_cast<Uint16>(frames * 2);
    return frames;
}

}  // namespace

SdlWavePlayer::SdlWavePlayer(const DriveMap& drives) : m_drives(drives) {}

SdlWavePlayer::~SdlWavePlayer() {
    close();
    releaseDevice();
    if (m_audioReady) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlWavePlayer::setDeviceType(std::string_view deviceType) {
    try {
        m_deviceType = deviceType;
    } catch (...) {
        m_deviceType.clear();
    }
}

void SdlWavePlayer::setFileName(std::string_view windowsPath) {
    try {
        m_fileName = windowsPath;
    } catch (...) {
        m_fileName.clear();
    }
}

bool SdlWavePlayer::setCommand(std::string_view command) {
    try {
        if (equalsIgnoringCase(command, "close")) {
            close();
            return true;
        }
        if (equalsIgnoringCase(command, "open")) return open();
        if (equalsIgnoringCase(command, "play")) return play();
        if (equalsIgnoringCase(command, "stop")) return stop();
    } catch (...) {
        // A failed command is reported by its result, never by an exception.
    }
    return false;
}

bool SdlWavePlayer::ensureAudio() {
    if (m_audioReady) return true;
    // Audio brings up SDL's event subsystem, whose default SIGINT/SIGTERM handlers would keep
    // those signals from ending the tool.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    // A truncated wave (an interrupted copy, say) plays what it holds, up to the last complete
    // sample frame, as players commonly do; "strict" would silence files with a wrong RIFF size
    // that every other player accepts.
    SDL_SetHintWithPriority(SDL_HINT_WAVE_TRUNCATION, "dropframe", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    m_audioReady = true;
    return true;
}

bool SdlWavePlayer::open() {
    close();  // opening again releases what the previous open held
    if (!equalsIgnoringCase(m_deviceType, "WaveAudio")) return false;
    const auto host = m_drives.toHost(m_fileName);
    if (!host) return false;
    // A FIFO or a device file would block or never end; only plain files are waves.
    std::error_code error;
    if (!std::filesystem::is_regular_file(*host, error)) return false;
    if (!ensureAudio()) return false;

    SDL_AudioSpec spec{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(host->c_str(), &spec, &samples, &length) == nullptr) return false;

    const bool sameFormat = m_device != 0 && spec.freq == m_deviceFrequency &&
                            spec.format == m_deviceFormat && spec.channels == m_deviceChannels;
    if (!sameFormat) {
        releaseDevice();
        // The device takes the file's own format (allowed changes 0): SDL converts to whatever
        // the hardware wants, so the queued bytes are exactly the decoded file.
        spec.samples = bufferFrames(spec.freq);
        spec.callback = nullptr;
        spec.userdata = nullptr;
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
        if (device == 0) {
            SDL_FreeWAV(samples);
            return false;
        }
        m_device = device;
        m_deviceFrequency = spec.freq;
        m_deviceFormat = spec.format;
        m_deviceChannels = spec.channels;
    }
    m_samples = samples;
    m_length = length;
    m_open = true;
    return true;
}

bool SdlWavePlayer::play() {
    if (!m_open) return false;
    // Playing again starts the sound from its beginning.
    SDL_PauseAudioDevice(m_device, 1);
    SDL_ClearQueuedAudio(m_device);
    if (m_length > 0 && SDL_QueueAudio(m_device, m_samples, m_length) != 0) return false;
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

bool SdlWavePlayer::stop() {
    if (!m_open) return false;
    // The samples stay, so the next "play" starts the sound again from its beginning.
    SDL_PauseAudioDevice(m_device, 1);
    SDL_ClearQueuedAudio(m_device);
    return true;
}

void SdlWavePlayer::close() {
    if (m_device != 0) {
        // Silence from the next device buffer on; what was still queued is dropped.
        SDL_PauseAudioDevice(m_device, 1);
        SDL_ClearQueuedAudio(m_device);
    }
    if (m_samples != nullptr) {
        SDL_FreeWAV(m_samples);
        m_samples = nullptr;
    }
    m_length = 0;
    m_open = false;
}

void SdlWavePlayer::releaseDevice() {
    if (m_device == 0) return;
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
}

}  // namespace platform

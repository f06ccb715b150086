// SPDX-License-Identifier: MIT
#include "platform/qt/SdlWavePlayer.h"

#include "platform/RegularFile.h"

#include <SDL.h>
#include <sndfile.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <vector>

namespace platform {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

constexpr int kDeviceFrameBytes = SdlWavePlayer::kDeviceChannels * 2;
// About 23 ms of sound per device buffer: short enough that a preview starts at once, long
// enough not to underrun on a busy machine.
constexpr Uint16 kDeviceBufferFrames = 1024;
// Frames decoded per step. The first step runs in "play" itself: small, yet more than the
// few hundred frames SDL's resampler holds back, so that it always yields sound.
constexpr sf_count_t kFirstStepFrames = 1024;
constexpr sf_count_t kStepFrames = 8192;
// How far the queue runs ahead of the device: half a second, about 88 KB. The device starts
// only once this much is queued (or the whole sound, if shorter), so a slow disk or a busy
// machine does not open gaps in the first half second.
constexpr Uint32 kQueueAhead = SdlWavePlayer::kDeviceFrequency / 2 * kDeviceFrameBytes;

}  // namespace

/// The wave file "open" opened, held until the player lets it go: every "play" reads this
/// file, never the path again, which may name another file (or a FIFO) by then.
struct SdlWavePlayer::WaveFile {
    int fd;
    explicit WaveFile(int descriptor) : fd(descriptor) {}
    ~WaveFile() { ::close(fd); }
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;
};

/// One wave being read: the file and the converter from its format to the device's.
struct SdlWavePlayer::Job {
    std::shared_ptr<const WaveFile> wave;
    sf_count_t position = 0;  // each job reads the shared file at its own place (pread)
    SNDFILE* file = nullptr;
    SF_INFO info{};
    SDL_AudioStream* stream = nullptr;
    bool started = false;  // the device was let go for this sound

    ~Job() {
        if (stream != nullptr) SDL_FreeAudioStream(stream);
        if (file != nullptr) sf_close(file);
    }

    static Job& self(void* job) { return *static_cast<Job*>(job); }
    static sf_count_t length(void* job) {
        struct stat info {};
        return ::fstat(self(job).wave->fd, &info) == 0 ? info.st_size : -1;
    }
    static sf_count_t seek(sf_count_t offset, int whence, void* job) {
        sf_count_t& at = self(job).position;
        const sf_count_t base = whence == SEEK_CUR ? at : whence == SEEK_END ? length(job) : 0;
        if (base < 0 || base + offset < 0) return -1;
        return at = base + offset;
    }
    static sf_count_t read(void* into, sf_count_t count, void* job) {
        Job& j = self(job);
        sf_count_t done = 0;
        while (done < count) {
            const ssize_t got = ::pread(j.wave->fd, static_cast<char*>(into) + done,
                                        static_cast<std::size_t>(count - done), j.position);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            done += got;
            j.position += got;
        }
        return done;
    }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* job) { return self(job).position; }

    /// Reads a wave's header from the open file and makes its converter; nullptr when it is
    /// not a wave libsndfile reads.
    static std::unique_ptr<Job> open(std::shared_ptr<const WaveFile> wave) {
        static SF_VIRTUAL_IO io{&Job::length, &Job::seek, &Job::read, &Job::write, &Job::tell};
        auto job = std::make_unique<Job>();
        job->wave = std::move(wave);
        job->file = sf_open_virtual(&io, SFM_READ, &job->info, job.get());
        if (job->file == nullptr) return nullptr;
        const int container = job->info.format & SF_FORMAT_TYPEMASK;
        if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX &&
            container != SF_FORMAT_RF64) {
            return nullptr;
        }
        if (job->info.channels < 1 || job->info.channels > 8 || job->info.samplerate < 1)
            return nullptr;
        job->stream = SDL_NewAudioStream(
            AUDIO_S16SYS, static_cast<Uint8>(job->info.channels), job->info.samplerate,
            AUDIO_S16SYS, SdlWavePlayer::kDeviceChannels, SdlWavePlayer::kDeviceFrequency);
        if (job->stream == nullptr) return nullptr;
        return job;
    }

    /// Decodes and converts the next step into `out`; false once the file has ended (what
    /// `out` holds then is the converter's remainder).
    bool step(sf_count_t frames, std::vector<short>& samples, std::vector<Uint8>& out) {
        samples.resize(static_cast<std::size_t>(frames * info.channels));
        const sf_count_t got = sf_readf_short(file, samples.data(), frames);
        const bool more = got > 0;
        if (more) {
            SDL_AudioStreamPut(stream, samples.data(),
                               static_cast<int>(got * info.channels * sizeof(short)));
        } else {
            // SDL 2.26's resampler keeps back the last few hundred frames even through a
            // flush; a little silence after the sound pushes them out.
            if (info.samplerate != SdlWavePlayer::kDeviceFrequency) {
                samples.assign(1024 * static_cast<std::size_t>(info.channels), 0);
                SDL_AudioStreamPut(stream, samples.data(),
                                   static_cast<int>(samples.size() * sizeof(short)));
            }
            SDL_AudioStreamFlush(stream);
        }
        // Drained in full: after a flush SDL may hold more than it first reports.
        out.clear();
        for (;;) {
            const int available = SDL_AudioStreamAvailable(stream);
            if (available <= 0) break;
            const std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(available));
            const int read = SDL_AudioStreamGet(stream, out.data() + at, available);
            out.resize(at + static_cast<std::size_t>(std::max(0, read)));
            if (read <= 0) break;
        }
        return more;
    }
};

SdlWavePlayer::SdlWavePlayer(const DriveMap& drives) : m_drives(drives) {}

SdlWavePlayer::~SdlWavePlayer() {
    close();
    if (m_decoder.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_decoder.join();
    }
    if (m_device != 0) SDL_CloseAudioDevice(m_device);
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

std::uint32_t SdlWavePlayer::queuedBytes() const {
    return m_device != 0 ? SDL_GetQueuedAudioSize(m_device) : 0;
}

bool SdlWavePlayer::ensureAudio() {
    if (m_device != 0) return true;
    if (!m_audioReady) {
        // Audio brings up SDL's event subsystem, whose default SIGINT/SIGTERM handlers would
        // keep those signals from ending the tool.
        SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        m_audioReady = true;
    }
    SDL_AudioSpec spec{};
    spec.freq = kDeviceFrequency;
    spec.format = AUDIO_S16SYS;
    spec.channels = kDeviceChannels;
    spec.samples = kDeviceBufferFrames;
    // No allowed changes: SDL converts to whatever the hardware wants, so what is queued is
    // exactly the device's format.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
    if (device == 0) return false;
    m_device = device;
    if (!m_decoder.joinable()) m_decoder = std::thread([this] { decodeLoop(); });
    return true;
}

bool SdlWavePlayer::open() {
    close();  // opening again releases what the previous open held
    if (!equalsIgnoringCase(m_deviceType, "WaveAudio")) return false;
    const auto host = m_drives.toHost(m_fileName);
    if (!host) return false;
    // A FIFO or a device file would block or never end; only plain files are waves.
    const int fd = openRegularFile(*host);
    if (fd < 0) return false;
    auto wave = std::make_shared<const WaveFile>(fd);
    auto job = Job::open(wave);
    if (!job || !ensureAudio()) return false;
    m_opened = std::move(job);
    m_openFile = std::move(wave);
    return true;
}

bool SdlWavePlayer::play() {
    if (!m_openFile) return false;
    // Playing again starts the sound from its beginning, read from the file "open" opened.
    std::unique_ptr<Job> job = m_opened ? std::move(m_opened) : Job::open(m_openFile);
    if (!job) return false;
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        SDL_PauseAudioDevice(m_device, 1);
        SDL_ClearQueuedAudio(m_device);
        // The first buffer is queued here: handing it to the decoding thread would make the
        // sound wait for that thread to be scheduled, which a busy machine delays by
        // milliseconds. The rest is the thread's.
        const bool more = job->step(kFirstStepFrames, m_firstSamples, m_firstBuffer);
        if (!m_firstBuffer.empty())
            SDL_QueueAudio(m_device, m_firstBuffer.data(),
                           static_cast<Uint32>(m_firstBuffer.size()));
        if (more) {
            m_playing = std::move(job);
        } else {
            SDL_PauseAudioDevice(m_device, 0);  // all of it is queued
        }
    }
    m_wake.notify_all();
    return true;
}

bool SdlWavePlayer::stop() {
    if (!m_openFile || m_device == 0) return false;
    // The file stays open, so the next "play" starts the sound again from its beginning.
    silence();
    return true;
}

void SdlWavePlayer::close() {
    m_opened.reset();
    m_openFile.reset();
    if (m_device != 0) silence();
}

void SdlWavePlayer::silence() {
    std::unique_ptr<Job> dropped;
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        dropped = std::move(m_playing);
        // Silence from the next device buffer on; what was still queued is dropped.
        SDL_PauseAudioDevice(m_device, 1);
        SDL_ClearQueuedAudio(m_device);
    }
    m_wake.notify_all();
}

void SdlWavePlayer::decodeLoop() {
    std::unique_ptr<Job> current;
    std::uint64_t generation = 0;
    std::vector<short> samples;
    std::vector<Uint8> converted;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_quit) break;
        if (m_playing) {
            current = std::move(m_playing);
            generation = m_generation;
        } else if (current && generation != m_generation) {
            current.reset();  // closed
        }
        if (!current) {
            m_wake.wait(lock);
            continue;
        }
        if (current->started && SDL_GetQueuedAudioSize(m_device) >= kQueueAhead) {
            m_wake.wait_for(lock, std::chrono::milliseconds(20));
            continue;
        }

        lock.unlock();
        const bool more = current->step(kStepFrames, samples, converted);
        lock.lock();

        if (generation != m_generation || m_playing) continue;  // stopped or replaced meanwhile
        if (!converted.empty())
            SDL_QueueAudio(m_device, converted.data(), static_cast<Uint32>(converted.size()));
        if (!current->started && (!more || SDL_GetQueuedAudioSize(m_device) >= kQueueAhead)) {
            current->started = true;
            SDL_PauseAudioDevice(m_device, 0);
        }
        if (!more) current.reset();
    }
}

}  // namespace platform

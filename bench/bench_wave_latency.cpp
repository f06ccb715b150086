// SPDX-License-Identifier: MIT
// How long a sound preview keeps the user waiting: from the close, open and play that a right
// press on a sound button runs until the first buffer of the wave is queued on the device,
// against the floor of the same work done inline (libsndfile opens the file and decodes one
// buffer, an SDL_AudioStream converts it, SDL_QueueAudio queues it on a device held open at
// the same fixed format). Cases: a 1 s wave of the device's format, waves whose format changes
// at every preview, a GSM 6.10 wave, a 3-minute (31 MB) wave and a 2 GB wave, whose peak extra
// memory is reported too. Runs on SDL's dummy audio driver so the figures do not depend on
// the sound hardware.

#include <SDL.h>
#include <sndfile.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "ChildRuns.h"
#include "Rows.h"
#include "platform/DriveMap.h"
#include "platform/qt/SdlWavePlayer.h"

namespace {

using Clock = std::chrono::steady_clock;

bool writeWave(const QString& path, int rate, int channels, double seconds, int format) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (f == nullptr) return false;
    std::vector<short> block(static_cast<std::size_t>(rate * channels));
    for (int i = 0; i < rate; ++i)
        for (int c = 0; c < channels; ++c)
            block[static_cast<std::size_t>(i * channels + c)] = static_cast<short>(
                std::lround(16000 * std::sin(2 * std::numbers::pi * 440 * i / rate)));
    for (double done = 0; done < seconds; done += 1)
        sf_writef_short(f, block.data(),
                        static_cast<sf_count_t>(rate * std::min(1.0, seconds - done)));
    sf_close(f);
    return true;
}

// A 2 GB 16-bit stereo wave of silence, written sparse: the header and a hole.
bool writeHugeWave(const QString& path, std::uint32_t dataBytes) {
    QByteArray h = "RIFF";
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) h.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&](int v) {
        h.append(static_cast<char>(v & 0xFF));
        h.append(static_cast<char>((v >> 8) & 0xFF));
    };
    u32(36 + dataBytes);
    h += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    h += "data";
    u32(dataBytes);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(h) == h.size() && f.resize(44 + dataBytes);
}

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

/// The floor: the work a streamed preview cannot avoid, inline on one thread.
class Floor {
public:
    Floor() {
        SDL_AudioSpec spec{};
        spec.freq = 44100;
        spec.format = AUDIO_S16SYS;
        spec.channels = 2;
        spec.samples = 1024;
        m_device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
    }
    ~Floor() {
        if (m_device != 0) SDL_CloseAudioDevice(m_device);
    }
    bool firstBuffer(const QByteArray& path) {
        SDL_ClearQueuedAudio(m_device);
        SF_INFO info{};
        SNDFILE* f = sf_open(path.constData(), SFM_READ, &info);
        if (f == nullptr) return false;
        SDL_AudioStream* stream =
            SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(info.channels), info.samplerate,
                               AUDIO_S16SYS, 2, 44100);
        std::vector<short> samples(static_cast<std::size_t>(1024 * info.channels));
        const sf_count_t got = sf_readf_short(f, samples.data(), 1024);
        SDL_AudioStreamPut(stream, samples.data(), static_cast<int>(got * info.channels * 2));
        std::vector<Uint8> out(static_cast<std::size_t>(SDL_AudioStreamAvailable(stream)));
        const int n = SDL_AudioStreamGet(stream, out.data(), static_cast<int>(out.size()));
        SDL_QueueAudio(m_device, out.data(), static_cast<Uint32>(n));
        SDL_FreeAudioStream(stream);
        sf_close(f);
        return n > 0;
    }

private:
    SDL_AudioDeviceID m_device = 0;
};

}  // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    struct Wave {
        const char* name;
        int rate, channels;
        double seconds;
        int format;
    };
    const Wave waves[] = {{"Chimes.wav", 44100, 2, 1, SF_FORMAT_PCM_16},
                          {"Ding.wav", 22050, 1, 1, SF_FORMAT_PCM_16},
                          {"Chord.wav", 11025, 1, 1, SF_FORMAT_IMA_ADPCM},
                          {"Voice.wav", 8000, 1, 3, SF_FORMAT_GSM610},
                          {"Song.wav", 44100, 2, 180, SF_FORMAT_PCM_16}};
    for (const Wave& w : waves) {
        if (!writeWave(dir.filePath(w.name), w.rate, w.channels, w.seconds, w.format)) {
            std::printf("bench_wave_latency: cannot write %s\n", w.name);
            return 1;
        }
    }
    if (!writeHugeWave(dir.filePath("Huge.wav"), 2000u * 1024 * 1024)) return 1;

    platform::DriveMap drives;
    drives.map('C', dir.path().toStdString());
    platform::SdlWavePlayer player(drives);
    auto preview = [&player](const std::string& name) {
        bool ok = player.setCommand("close");
        player.setDeviceType("WaveAudio");
        player.setFileName("C:\\" + name);
        ok = player.setCommand("open") && ok;
        return player.setCommand("play") && ok;
    };
    // Right press to the first buffer queued.
    auto latency = [&](const std::string& name) {
        const auto t0 = Clock::now();
        if (!preview(name)) return -1.0;
        while (player.queuedBytes() == 0) {
            if (Clock::now() - t0 > std::chrono::seconds(5)) return -1.0;
        }
        return micros(Clock::now() - t0);
    };

    // The first preview also starts SDL's audio subsystem and opens the device, once a run.
    const auto firstStart = Clock::now();
    if (!preview("Chimes.wav")) {
        std::fprintf(stderr, "the preview failed: %s\n", SDL_GetError());
        return 1;
    }
    const double first = micros(Clock::now() - firstStart);
    Floor floor;

    struct Case {
        const char* what;
        std::vector<std::string> files;  // previewed in turn
    };
    const Case cases[] = {
        {"1 s 44.1 kHz 16-bit stereo PCM (the device's format)", {"Chimes.wav"}},
        {"format changing at every preview (44.1k stereo / 22k mono)", {"Chimes.wav", "Ding.wav"}},
        {"format changing: PCM 22k mono / IMA ADPCM 11k / GSM 8k",
         {"Ding.wav", "Chord.wav", "Voice.wav"}},
        {"3 min 44.1 kHz 16-bit stereo, 31 MB", {"Song.wav"}},
        {"2 GB wave (sparse file)", {"Huge.wav"}},
    };
    const int runs = 101;
    std::printf(
        "bench_wave_latency: right press to the first buffer queued, dummy driver, "
        "median of %d\n",
        runs);
    for (const Case& c : cases) {
        std::vector<double> ours, floors;
        for (int i = 0; i < runs; ++i) {
            const std::string& name = c.files[static_cast<std::size_t>(i) % c.files.size()];
            const double t = latency(name);
            player.setCommand("close");
            const auto f0 = Clock::now();
            const bool ok = floor.firstBuffer(QFile::encodeName(dir.filePath(name.c_str())));
            const double f = micros(Clock::now() - f0);
            if (t < 0 || !ok) {
                std::printf("  %s: failed\n", c.what);
                return 1;
            }
            ours.push_back(t);
            floors.push_back(f);
        }
        const double o = bench::median(ours), fl = bench::median(floors);
        std::printf("  %-62s floor %8.1f us  Skinsmith %8.1f us  ratio %5.2f\n", c.what, fl, o,
                    o / fl);
        bench::row(std::string("right press to the first buffer queued: ") + c.what,
                   bench::format("%.1f us (libsndfile open, one buffer, SDL_AudioStream, "
                                 "SDL_QueueAudio, inline)",
                                 fl),
                   bench::format("%.1f us", o), o / fl, "< 2 ms");
    }

    // Memory while the 2 GB wave plays for a second: the queue stays half a second ahead.
    player.setCommand("close");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    const long before = bench::procStatusKb("VmRSS");
    const auto t0 = Clock::now();
    if (!preview("Huge.wav")) return 1;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double queuedMs = player.queuedBytes() / (44100.0 * 4) * 1000;
    player.setCommand("close");
    const long extra = bench::procStatusKb("VmHWM") - before;
    std::printf(
        "  2 GB wave played for %.1f s: peak extra memory %.1f MB (target < 32 MB), "
        "%.0f ms of sound queued ahead\n",
        micros(Clock::now() - t0) / 1e6, extra / 1024.0, queuedMs);
    std::printf("  first preview of the run, starting SDL audio and the device (once) %.1f us\n",
                first);
    bench::row("peak extra memory while the 2 GB wave plays for 1 s", "",
               bench::format("%.1f MB", extra / 1024.0), -1, "< 32 MB");
    return 0;
}

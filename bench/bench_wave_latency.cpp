// How long a sound preview keeps the user waiting: the close, open and play that a right press
// on a sound button runs, until "play" returns with the whole wave queued on the device,
// against the floor of decoding the same file with SDL_LoadWAV alone. Runs on SDL's dummy
// audio driver so the figures do not depend on the sound hardware.

#include <SDL.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "platform/DriveMap.h"
#include "platform/qt/SdlWavePlayer.h"

namespace {

using Clock = std::chrono::steady_clock;

void put16(QByteArray& b, int v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>((v >> 8) & 0xFF));
}
void put32(QByteArray& b, std::uint32_t v) {
    put16(b, static_cast<int>(v & 0xFFFF));
    put16(b, static_cast<int>(v >> 16));
}

// One second of a 440 Hz tone, 16-bit PCM.
QByteArray oneSecondWave(int rate, int channels) {
    QByteArray data;
    for (int i = 0; i < rate; ++i) {
        const auto v =
            static_cast<int>(std::lround(16000 * std::sin(2 * std::numbers::pi * 440 * i / rate)));
        for (int c = 0; c < channels; ++c) put16(data, v);
    }
    QByteArray wave = "RIFF";
    put32(wave, static_cast<std::uint32_t>(36 + data.size()));
    wave += "WAVEfmt ";
    put32(wave, 16);
    put16(wave, 1);
    put16(wave, channels);
    put32(wave, rate);
    put32(wave, rate * channels * 2);
    put16(wave, channels * 2);
    put16(wave, 16);
    wave += "data";
    put32(wave, static_cast<std::uint32_t>(data.size()));
    return wave + data;
}

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    const QString hostPath = dir.filePath("Chimes.wav");
    {
        QFile f(hostPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(oneSecondWave(44100, 2)) < 0) return 1;
    }
    {
        QFile f(dir.filePath("Ding.wav"));
        if (!f.open(QIODevice::WriteOnly) || f.write(oneSecondWave(22050, 1)) < 0) return 1;
    }
    platform::DriveMap drives;
    drives.map('C', dir.path().toStdString());
    const QByteArray hostName = QFile::encodeName(hostPath);

    platform::SdlWavePlayer player(drives);
    auto preview = [&player](const char* windowsPath = "C:\\Chimes.wav") {
        bool ok = player.setCommand("close");
        player.setDeviceType("WaveAudio");
        player.setFileName(windowsPath);
        ok = player.setCommand("open") && ok;
        return player.setCommand("play") && ok;
    };

    // The first preview also starts SDL's audio subsystem, a cost paid once per run.
    const auto firstStart = Clock::now();
    if (!preview()) {
        std::fprintf(stderr, "the preview failed: %s\n", SDL_GetError());
        return 1;
    }
    const double first = micros(Clock::now() - firstStart);

    const int runs = 200;
    std::vector<double> previews, loads;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        SDL_AudioSpec spec{};
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        if (SDL_LoadWAV(hostName.constData(), &spec, &buffer, &length) == nullptr) return 1;
        SDL_FreeWAV(buffer);
        const auto t1 = Clock::now();
        if (!preview()) return 1;
        const auto t2 = Clock::now();
        loads.push_back(micros(t1 - t0));
        previews.push_back(micros(t2 - t1));
    }

    // Waves of two formats in turn: each preview closes the device and opens another.
    std::vector<double> switches;
    for (int i = 0; i < 40; ++i) {
        const auto t0 = Clock::now();
        if (!preview(i % 2 ? "C:\\Chimes.wav" : "C:\\Ding.wav")) return 1;
        switches.push_back(micros(Clock::now() - t0));
    }
    player.setCommand("close");

    const double load = median(loads);
    const double play = median(previews);
    std::printf(
        "wave preview latency, 1 s of 44.1 kHz 16-bit stereo PCM (%u bytes of samples), "
        "SDL audio driver \"dummy\", median of %d runs\n",
        44100u * 4u, runs);
    std::printf("  floor: SDL_LoadWAV + SDL_FreeWAV of the file            %10.1f us\n", load);
    std::printf("  close + open + play until play returns, wave queued      %10.1f us\n", play);
    std::printf("  ratio preview / floor                                    %10.2f\n", play / load);
    std::printf("  same, the format changing at every preview (new device)  %10.1f us\n",
                median(switches));
    std::printf("  first preview of the run, starting SDL audio (once)      %10.1f us\n", first);
    return 0;
}

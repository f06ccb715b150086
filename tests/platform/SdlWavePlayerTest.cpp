// SPDX-License-Identifier: MIT
// Wave previews played for real: SDL's disk driver writes every sample the device plays to a
// file, which the tests compare with the source signal. The device runs at one fixed format
// (44.1 kHz, 16-bit stereo), so a wave in that format comes out byte for byte, and the others
// within what their encoding and the channel conversion lose, after whatever silence the
// device played before "play" and followed by the silence it pads with.

#include <SDL.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/DriveMap.h"
#include "platform/WaveFiles.h"
#include "platform/qt/SdlWavePlayer.h"

namespace {

using wavefiles::Encoding;
constexpr int kRate = platform::SdlWavePlayer::kDeviceFrequency;

/// Sets an environment variable for a scope and puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name) {
        if (qEnvironmentVariableIsSet(name)) m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

bool waitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

/// The device's output as 16-bit stereo frames.
struct Frame {
    std::int16_t left = 0, right = 0;
    bool silent() const { return left == 0 && right == 0; }
};

std::vector<Frame> framesOf(const QByteArray& bytes) {
    std::vector<Frame> frames(static_cast<std::size_t>(bytes.size() / 4));
    std::memcpy(frames.data(), bytes.constData(), frames.size() * 4);
    return frames;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// What the device played after the silence it wrote while paused.
std::vector<Frame> afterLeadingSilence(std::vector<Frame> frames) {
    const auto sound =
        std::find_if(frames.begin(), frames.end(), [](Frame f) { return !f.silent(); });
    frames.erase(frames.begin(), sound);
    return frames;
}

/// Waits until the device has written at least `count` frames of sound after its leading
/// silence.
std::vector<Frame> waitForSound(const QString& outPath, std::size_t count) {
    std::vector<Frame> sound;
    const bool arrived = waitUntil([&] {
        if (static_cast<std::size_t>(QFileInfo(outPath).size()) < count * 4) return false;
        sound = afterLeadingSilence(framesOf(readAll(outPath)));
        return sound.size() >= count;
    });
    EXPECT_TRUE(arrived) << "the disk driver wrote " << sound.size() << " of " << count
                         << " frames of sound";
    return sound;
}

class SdlWavePlayerDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_drives.map('C', m_dir.path().toStdString());
    }

    QString hostPath(const QString& name) const { return m_dir.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(hostPath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    /// The preview sequence the Sounds page runs.
    static void preview(platform::WavePlayer& player, const std::string& windowsPath,
                        bool* opened = nullptr, bool* played = nullptr) {
        EXPECT_TRUE(player.setCommand("close"));
        player.setDeviceType("WaveAudio");
        player.setFileName(windowsPath);
        const bool o = player.setCommand("open");
        const bool p = player.setCommand("play");
        if (opened) *opened = o;
        if (played) *played = p;
    }

    QTemporaryDir m_dir;
    platform::DriveMap m_drives;
    ScopedEnv m_driver{"SDL_AUDIODRIVER", "disk"};
    ScopedEnv m_delay{"SDL_DISKAUDIODELAY", "0"};
    ScopedEnv m_out{"SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath("out.raw"))};
};

// GSM 6.10 is not among the encodings written by hand: libsndfile writes it.
constexpr int kGsm = -1;

struct EncodingCase {
    int encoding;  // an Encoding, or kGsm
    int channels;
    int frames;       // whole blocks for the ADPCM encodings
    double maxNoise;  // noise to signal power the encoding may add; 0: exact
    std::string name;
};

void PrintTo(const EncodingCase& c, std::ostream* os) {
    *os << c.name;
}

QByteArray gsmWave(const wavefiles::Signal& s, const QString& scratch) {
    SF_INFO info{};
    info.samplerate = s.rate;
    info.channels = s.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_GSM610;
    SNDFILE* f = sf_open(QFile::encodeName(scratch).constData(), SFM_WRITE, &info);
    if (f == nullptr) return {};
    sf_writef_short(f, s.samples.data(), s.frames());
    sf_close(f);
    return readAll(scratch);
}

class SdlWavePlayerEncodings : public SdlWavePlayerDisk,
                               public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(SdlWavePlayerEncodings, PlaysTheSoundSampleForSample) {
    const EncodingCase c = GetParam();
    // Under half a second: the whole sound is queued before the device starts, so the disk
    // driver, which plays as fast as it can, writes it without gaps.
    const auto signal = wavefiles::tones(kRate, c.channels, c.frames, 330);
    writeFile("Chord.wav", c.encoding == kGsm
                               ? gsmWave(signal, hostPath("scratch.wav"))
                               : wavefiles::encode(static_cast<Encoding>(c.encoding), signal));

    platform::SdlWavePlayer player(m_drives);
    bool opened = false, played = false;
    preview(player, "C:\\Chord.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);

    const auto sound = waitForSound(hostPath("out.raw"), signal.frames());
    EXPECT_TRUE(player.setCommand("close"));
    ASSERT_GE(sound.size(), static_cast<std::size_t>(signal.frames()));
    double noise = 0, power = 0;
    for (int i = 0; i < signal.frames(); ++i) {
        // A mono wave plays on both sides.
        const int left = signal.samples[i * c.channels];
        const int right = signal.samples[i * c.channels + c.channels - 1];
        noise += std::pow(sound[i].left - left, 2) + std::pow(sound[i].right - right, 2);
        power += std::pow(left, 2) + std::pow(right, 2);
    }
    EXPECT_LE(noise / power, c.maxNoise);
    // The sound ends where the wave does.
    EXPECT_TRUE(sound[signal.frames()].silent() || c.encoding == kGsm);
}

INSTANTIATE_TEST_SUITE_P(
    AllEncodings, SdlWavePlayerEncodings,
    ::testing::Values(EncodingCase{int(Encoding::Pcm16), 2, 5000, 0, "Pcm16"},
                      EncodingCase{int(Encoding::Pcm8), 1, 5000, 0.01, "Pcm8"},
                      EncodingCase{int(Encoding::MsAdpcm), 1, 5000, 0.01, "MsAdpcm"},
                      EncodingCase{int(Encoding::ImaAdpcm), 1, 5050, 0.01, "ImaAdpcm"},
                      EncodingCase{int(Encoding::MuLaw), 2, 5000, 0.01, "MuLaw"},
                      EncodingCase{int(Encoding::ALaw), 1, 5000, 0.01, "ALaw"},
                      EncodingCase{kGsm, 1, 5120, 0.5, "Gsm"}),
    [](const auto& info) { return info.param.name; });

TEST_F(SdlWavePlayerDisk, TruncatedWavePlaysItsCompleteFramesAndNoMore) {
    const auto signal = wavefiles::tones(kRate, 2, 4000, 330);
    QByteArray whole = wavefiles::encode(Encoding::Pcm16, signal);
    const qsizetype header = whole.indexOf("data") + 8;
    const qsizetype frames = 1234;
    // Cut inside frame 1235: its first sample is there, its second is not.
    writeFile("Cut.wav", whole.left(header + frames * 4 + 2));
    const QByteArray present = whole.mid(header, frames * 4);

    platform::SdlWavePlayer player(m_drives);
    bool opened = false, played = false;
    preview(player, "C:\\Cut.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);
    const auto sound = waitForSound(hostPath("out.raw"), frames + 1);
    EXPECT_TRUE(player.setCommand("close"));
    const QByteArray bytes(reinterpret_cast<const char*>(sound.data()),
                           static_cast<qsizetype>(sound.size() * 4));
    EXPECT_TRUE(bytes.startsWith(present));
    // The half frame is dropped, not played as a click: silence follows at once.
    EXPECT_TRUE(sound[frames].silent());
}

// 8 kHz 8-bit mono tones whose every sample lies above the silence value (or below it), so
// silence and the two sounds never look alike in the output, whatever the conversion.
QByteArray offsetTones(double seconds, double hz, int offset) {
    const auto tones =
        wavefiles::tones(8000, 1, static_cast<int>(8000 * std::min(seconds, 1.0)), hz);
    wavefiles::Signal s{8000, 1, {}};
    for (double done = 0; done < seconds; done += 1)
        for (auto v : tones.samples) s.samples.push_back(static_cast<std::int16_t>(v / 4 + offset));
    return wavefiles::encode(Encoding::Pcm8, s);
}

TEST_F(SdlWavePlayerDisk, OneDeviceServesEveryPreviewAndCloseStopsTheSound) {
    // Twenty minutes of sound cannot end on its own within the test: the paced disk driver
    // writes one buffer per millisecond at most, so all of it takes about a minute.
    ScopedEnv paced("SDL_DISKAUDIODELAY", "1");
    writeFile("Long.wav", offsetTones(1200, 200, 12000));
    writeFile("Short.wav", offsetTones(0.4, 900, -12000));
    const auto other = wavefiles::tones(kRate, 2, 2000, 440);
    const QByteArray otherWave = wavefiles::encode(Encoding::Pcm16, other);
    writeFile("Other.wav", otherWave);
    const QString out = hostPath("out.raw");
    auto positive = [](Frame f) { return f.left > 0 && f.right > 0; };
    auto negative = [](Frame f) { return f.left < 0 && f.right < 0; };

    platform::SdlWavePlayer player(m_drives);
    preview(player, "C:\\Long.wav");
    const auto start = waitForSound(out, 8192);
    ASSERT_TRUE(std::all_of(start.begin(), start.begin() + 8192, positive));

    // A cancelled pick leaves "*.wav": nothing opens, and yet the long sound stops.
    bool opened = true, played = true;
    preview(player, "*.wav", &opened, &played);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(played);
    std::size_t stoppedAt = 0;
    const bool silent = waitUntil([&] {
        const auto sound = afterLeadingSilence(framesOf(readAll(out)));
        stoppedAt = std::find_if_not(sound.begin(), sound.end(), positive) - sound.begin();
        return sound.size() >= stoppedAt + 1024 &&
               std::all_of(sound.begin() + stoppedAt, sound.begin() + stoppedAt + 1024,
                           [](Frame f) { return f.silent(); });
    });
    ASSERT_TRUE(silent) << "the long sound played on after the close";
    EXPECT_GE(stoppedAt, 8192u);
    EXPECT_LT(stoppedAt, 1200u * kRate);

    // The next preview, at another rate, plays its sound from the start and in full, with
    // nothing of the first after it.
    preview(player, "C:\\Short.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);
    const std::size_t shortFrames = kRate * 4 / 10;
    std::vector<Frame> rest;
    const bool arrived = waitUntil([&] {
        auto sound = afterLeadingSilence(framesOf(readAll(out)));
        sound.erase(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(stoppedAt));
        rest = afterLeadingSilence(std::move(sound));
        return rest.size() >= shortFrames + 1024;
    });
    ASSERT_TRUE(arrived) << "the second sound never played";
    const std::size_t played2 = std::find_if_not(rest.begin(), rest.end(), negative) - rest.begin();
    EXPECT_NEAR(static_cast<double>(played2), static_cast<double>(shortFrames), 64.0);
    // (The resampler rings a little where the sound stops; the first sound is far louder.)
    EXPECT_TRUE(std::none_of(rest.begin() + played2, rest.end(),
                             [](Frame f) { return f.left > 3000 || f.right > 3000; }));

    // A wave in the device's own format comes out byte for byte, and the device was never
    // closed: reopening restarts the disk driver's file, which still begins with the first sound.
    preview(player, "C:\\Other.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);
    const QByteArray otherBytes = otherWave.mid(otherWave.indexOf("data") + 8);
    EXPECT_TRUE(waitUntil([&] { return readAll(out).contains(otherBytes); }));
    EXPECT_TRUE(positive(afterLeadingSilence(framesOf(readAll(out))).front()));
    EXPECT_TRUE(player.setCommand("close"));
}

TEST_F(SdlWavePlayerDisk, WhatCannotOpenPlaysNothing) {
    writeFile("Notes.wav", "These are not the waves you are looking for.\r\n");
    writeFile("Good.wav", wavefiles::encode(Encoding::Pcm16, wavefiles::tones(8000, 1, 800, 440)));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Folder.wav"));

    platform::SdlWavePlayer player(m_drives);
    for (const std::string path : {"C:\\Missing.wav", "C:\\Notes.wav", "*.wav", "",
                                   "C:\\Folder.wav", "C:\\..\\Good.wav", "Q:\\Good.wav"}) {
        SCOPED_TRACE(path);
        bool opened = true, played = true;
        preview(player, path, &opened, &played);
        EXPECT_FALSE(opened);
        EXPECT_FALSE(played);
    }
    // Only wave audio is opened, whatever the file holds.
    player.setDeviceType("CDAudio");
    player.setFileName("C:\\Good.wav");
    EXPECT_FALSE(player.setCommand("open"));
    EXPECT_FALSE(player.setCommand("play"));
    EXPECT_FALSE(player.setCommand("record"));
    EXPECT_FALSE(QFileInfo::exists(hostPath("out.raw"))) << "no device was ever opened";

    // The device type and the commands are not case-sensitive.
    player.setDeviceType("waveaudio");
    EXPECT_TRUE(player.setCommand("OPEN"));
    EXPECT_TRUE(player.setCommand("Play"));
    EXPECT_TRUE(player.setCommand("close"));
    EXPECT_TRUE(QFileInfo::exists(hostPath("out.raw")));
}

TEST(SdlWavePlayer, AudioStartsOnFirstOpenLeavesSignalsAloneAndStopsWithThePlayer) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::DriveMap drives;
    drives.map('C', dir.path().toStdString());
    {
        QFile f(dir.filePath("Ding.wav"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(wavefiles::encode(Encoding::Pcm16, wavefiles::tones(8000, 1, 800, 440)));
    }
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    const auto termHandler = std::signal(SIGTERM, SIG_DFL);
    {
        platform::SdlWavePlayer player(drives);
        // Nothing open yet: close is harmless, play has nothing to play; neither starts audio.
        EXPECT_TRUE(player.setCommand("close"));
        EXPECT_FALSE(player.setCommand("play"));
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "audio must not start before a preview";

        player.setDeviceType("WaveAudio");
        player.setFileName("C:\\Ding.wav");
        ASSERT_TRUE(player.setCommand("open"));
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_TRUE(player.setCommand("play"));
        // Still the default: SIGTERM must go on ending the tool.
        EXPECT_EQ(std::signal(SIGTERM, SIG_DFL), SIG_DFL);
        // Left open and playing, as a preview is; the destructor releases it.
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    std::signal(SIGTERM, termHandler);
}

}  // namespace

// Wave previews played for real: SDL's disk driver writes every sample the device plays to a
// file, which the tests compare with the decoded wave. The player opens its device in the
// file's own decoded format, so the bytes written are the decoded samples as they are, after
// whatever silence the device played before "play" and followed by the silence it pads with.

#include <SDL.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/DriveMap.h"
#include "platform/WaveFiles.h"
#include "platform/qt/SdlWavePlayer.h"

namespace {

using wavefiles::Encoding;

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

/// A wave decoded by SDL itself: what the device must be fed.
struct Decoded {
    QByteArray bytes;
    int frameSize = 0;
    char silence = 0;
    SDL_AudioFormat format = 0;
};

Decoded decode(const QString& path) {
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    Decoded d;
    if (SDL_LoadWAV(QFile::encodeName(path).constData(), &spec, &buffer, &length) == nullptr) {
        ADD_FAILURE() << "SDL cannot decode " << path.toStdString() << ": " << SDL_GetError();
        return d;
    }
    d.bytes = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(length));
    d.frameSize = spec.channels * SDL_AUDIO_BITSIZE(spec.format) / 8;
    d.silence = static_cast<char>(spec.format == AUDIO_U8 ? 0x80 : 0);
    d.format = spec.format;
    SDL_FreeWAV(buffer);
    return d;
}

/// What the device played after the silence it wrote while paused (whole frames).
QByteArray afterLeadingSilence(const QByteArray& out, const Decoded& d) {
    qsizetype at = 0;
    while (at + d.frameSize <= out.size()) {
        bool silent = true;
        for (int i = 0; i < d.frameSize; ++i) silent = silent && out[at + i] == d.silence;
        if (!silent) break;
        at += d.frameSize;
    }
    return out.mid(at);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Waits until the device has written at least `bytes` of sound after its leading silence.
QByteArray waitForSound(const QString& outPath, const Decoded& d, qsizetype bytes) {
    QByteArray sound;
    const bool arrived = waitUntil([&] {
        if (QFileInfo(outPath).size() < bytes) return false;
        sound = afterLeadingSilence(readAll(outPath), d);
        return sound.size() >= bytes;
    });
    EXPECT_TRUE(arrived) << "the disk driver wrote " << sound.size() << " of " << bytes
                         << " bytes of sound";
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

class SdlWavePlayerEncodings : public SdlWavePlayerDisk,
                               public ::testing::WithParamInterface<Encoding> {};

wavefiles::Signal signalFor(Encoding e) {
    switch (e) {
        case Encoding::Pcm8:
            return wavefiles::tones(11025, 1, 3000, 440);
        case Encoding::Pcm16:
            return wavefiles::tones(22050, 2, 6000, 330);
        case Encoding::MsAdpcm:
            return wavefiles::tones(22050, 1, 10 * 500, 220);
        case Encoding::ImaAdpcm:
            return wavefiles::tones(22050, 1, 10 * 505, 220);
        case Encoding::MuLaw:
            return wavefiles::tones(8000, 1, 2400, 500);
        case Encoding::ALaw:
            return wavefiles::tones(8000, 2, 2400, 300);
    }
    return {};
}

// The source samples a decoded file stands for, as 16-bit values.
std::vector<int> asSixteenBit(const Decoded& d) {
    std::vector<int> v;
    if (d.format == AUDIO_U8) {
        for (char c : d.bytes) v.push_back((static_cast<unsigned char>(c) - 128) * 256);
    } else {
        for (qsizetype i = 0; i + 1 < d.bytes.size(); i += 2)
            v.push_back(
                static_cast<std::int16_t>(static_cast<unsigned char>(d.bytes[i]) |
                                          (static_cast<unsigned char>(d.bytes[i + 1]) << 8)));
    }
    return v;
}

TEST_P(SdlWavePlayerEncodings, PlaysTheDecodedSoundSampleForSample) {
    const auto signal = signalFor(GetParam());
    writeFile("Chord.wav", wavefiles::encode(GetParam(), signal));
    const Decoded expected = decode(hostPath("Chord.wav"));
    ASSERT_GT(expected.frameSize, 0);

    // The generated file must stand for its source signal, or the comparison below proves
    // little: lossless encodings exactly, the others within their quantisation noise.
    const auto decoded = asSixteenBit(expected);
    ASSERT_EQ(decoded.size(), signal.samples.size());
    double noise = 0, power = 0;
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        noise += std::pow(decoded[i] - signal.samples[i], 2);
        power += std::pow(signal.samples[i], 2);
    }
    if (GetParam() == Encoding::Pcm16)
        EXPECT_EQ(noise, 0);
    else
        EXPECT_LT(noise / power, 0.01) << "signal to noise below 20 dB";

    platform::SdlWavePlayer player(m_drives);
    bool opened = false, played = false;
    preview(player, "C:\\Chord.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);

    const QByteArray sound = waitForSound(hostPath("out.raw"), expected, expected.bytes.size());
    EXPECT_TRUE(player.setCommand("close"));
    EXPECT_TRUE(sound.startsWith(expected.bytes));
}

INSTANTIATE_TEST_SUITE_P(AllEncodings, SdlWavePlayerEncodings,
                         ::testing::Values(Encoding::Pcm8, Encoding::Pcm16, Encoding::MsAdpcm,
                                           Encoding::ImaAdpcm, Encoding::MuLaw, Encoding::ALaw),
                         [](const auto& info) { return wavefiles::name(info.param); });

TEST_F(SdlWavePlayerDisk, TruncatedWavePlaysItsCompleteFramesAndNoMore) {
    const auto signal = wavefiles::tones(22050, 2, 4000, 330);
    QByteArray whole = wavefiles::encode(Encoding::Pcm16, signal);
    const qsizetype header = whole.indexOf("data") + 8;
    const qsizetype frames = 1234;
    // Cut inside frame 1235: its first sample is there, its second is not.
    writeFile("Cut.wav", whole.left(header + frames * 4 + 2));

    Decoded format;
    format.frameSize = 4;
    const QByteArray present = whole.mid(header, frames * 4);

    platform::SdlWavePlayer player(m_drives);
    bool opened = false, played = false;
    preview(player, "C:\\Cut.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);
    const QByteArray sound = waitForSound(hostPath("out.raw"), format, present.size() + 4);
    EXPECT_TRUE(player.setCommand("close"));
    EXPECT_TRUE(sound.startsWith(present));
    // The half frame is dropped, not played as a click: silence follows at once.
    EXPECT_EQ(sound.mid(present.size(), 4), QByteArray(4, '\0'));
}

// 8 kHz 8-bit mono, one second of tones repeated; every sample lies above the silence value
// (or below it), so silence and the two sounds never look alike in the output.
wavefiles::Signal offsetTones(int seconds, double hz, int offset) {
    const auto second = wavefiles::tones(8000, 1, 8000, hz);
    wavefiles::Signal s{8000, 1, {}};
    for (int i = 0; i < seconds; ++i)
        for (auto v : second.samples)
            s.samples.push_back(static_cast<std::int16_t>(v / 4 + offset));
    return s;
}

qsizetype commonPrefix(const QByteArray& a, const QByteArray& b) {
    qsizetype n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

TEST_F(SdlWavePlayerDisk, NextPreviewStopsTheSoundEvenWhenItOpensNothing) {
    // Twenty minutes of sound cannot end on its own within the test: the disk driver writes
    // one 256-frame buffer per millisecond at most, so all of it takes over 37 seconds, longer
    // than any wait below.
    ScopedEnv paced("SDL_DISKAUDIODELAY", "1");
    writeFile("Long.wav", wavefiles::encode(Encoding::Pcm8, offsetTones(1200, 200, 12000)));
    writeFile("Short.wav", wavefiles::encode(Encoding::Pcm8, offsetTones(1, 900, -12000)));
    const Decoded first = decode(hostPath("Long.wav"));
    const Decoded second = decode(hostPath("Short.wav"));
    ASSERT_GT(first.frameSize, 0);
    ASSERT_GT(second.frameSize, 0);
    const QString out = hostPath("out.raw");

    platform::SdlWavePlayer player(m_drives);
    preview(player, "C:\\Long.wav");
    ASSERT_TRUE(first.bytes.startsWith(waitForSound(out, first, 8192)));

    // A cancelled pick leaves "*.wav": nothing opens, and yet the long sound stops.
    bool opened = true, played = true;
    preview(player, "*.wav", &opened, &played);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(played);
    qsizetype stoppedAt = 0;
    const bool silent = waitUntil([&] {
        const QByteArray sound = afterLeadingSilence(readAll(out), first);
        stoppedAt = commonPrefix(sound, first.bytes);
        return sound.size() >= stoppedAt + 4096 &&
               sound.mid(stoppedAt, 4096) == QByteArray(4096, first.silence);
    });
    ASSERT_TRUE(silent) << "the long sound played on after the close";
    EXPECT_GE(stoppedAt, 8192);
    EXPECT_LT(stoppedAt, first.bytes.size());

    // The next preview plays its sound from the start, with nothing of the first after it.
    preview(player, "C:\\Short.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);
    QByteArray rest;
    const bool arrived = waitUntil([&] {
        rest = afterLeadingSilence(afterLeadingSilence(readAll(out), first).mid(stoppedAt), second);
        return rest.size() >= second.bytes.size();
    });
    ASSERT_TRUE(arrived) << "the second sound never played";
    EXPECT_TRUE(rest.startsWith(second.bytes));

    // A wave in another format gets a device of its own (which starts the output anew).
    writeFile("Other.wav",
              wavefiles::encode(Encoding::Pcm16, wavefiles::tones(22050, 2, 2000, 440)));
    const Decoded third = decode(hostPath("Other.wav"));
    preview(player, "C:\\Other.wav", &opened, &played);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(played);
    EXPECT_TRUE(waitForSound(out, third, third.bytes.size()).startsWith(third.bytes));
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

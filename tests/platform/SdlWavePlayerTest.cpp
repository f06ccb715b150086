// SPDX-License-Identifier: MIT
// Wave previews played for real: SDL's disk driver writes every sample the device plays to a
// file, which the tests compare with the reference sound each test wave was encoded from. The
// device runs at 44.1 kHz, 16-bit stereo; what it plays follows the silence it wrote while
// paused and is followed by the silence it pads with.

#include <SDL.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>

#include "platform/qt/SdlWavePlayer.h"
#include "support/TempDrive.h"
#include "support/TestData.h"

namespace {

struct Frame {
    std::int16_t left = 0, right = 0;
    bool silent() const { return left == 0 && right == 0; }
};
using Frames = std::vector<Frame>;

/// A wave file's frames as libsndfile reads them; mono plays on both sides.
Frames waveFrames(const QString& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (file == nullptr) return {};
    std::vector<short> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    Frames frames;
    for (auto s = samples.begin(); s != samples.end(); s += info.channels)
        frames.push_back({*s, *(s + info.channels - 1)});
    return frames;
}

/// The frames from `from` on, after the silence there.
Frames afterSilence(const Frames& frames, std::size_t from = 0) {
    const auto start = frames.begin() + static_cast<std::ptrdiff_t>(std::min(from, frames.size()));
    return {std::find_if(start, frames.end(), [](Frame f) { return !f.silent(); }), frames.end()};
}

class SdlWavePlayerDisk : public ::testing::Test {
protected:
    // Every test here plays through the disk driver; no other test in this program uses audio.
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIODELAY", "0");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_out));
    }

    /// What the device played after the silence it wrote while paused, from frame `from` of
    /// that on after the silence there, once at least `count` frames have arrived.
    Frames played(std::size_t count = 0, std::size_t from = 0) const {
        Frames sound;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                QFile file(m_out);
                const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
                Frames frames(static_cast<std::size_t>(bytes.size() / 4));
                std::memcpy(frames.data(), bytes.constData(), frames.size() * 4);
                return (sound = afterSilence(afterSilence(frames), from)).size() >= count;
            },
            20000))
            << "the disk driver played " << sound.size() << " of " << count << " frames";
        return sound;
    }

    /// The preview sequence the Sounds page runs: true when the wave opened, and then it
    /// plays; what does not open does not play.
    static bool preview(platform::WavePlayer& player, const std::string& windowsPath) {
        EXPECT_TRUE(player.setCommand("close"));
        player.setDeviceType("WaveAudio");
        player.setFileName(windowsPath);
        const bool opened = player.setCommand("open");
        EXPECT_EQ(player.setCommand("play"), opened) << windowsPath;
        return opened;
    }

    QTemporaryDir m_dir;
    platform::DriveMap m_drives = testsupport::driveOn(m_dir.path());
    QString m_out = m_dir.filePath("out.raw");
};

// Each encoding, and a wave cut inside frame 1235 (its first sample there, its second not),
// plays its frames in full, then silence at once: a half frame is no click.
TEST_F(SdlWavePlayerDisk, EveryEncodingPlaysItsSoundInFull) {
    const QByteArray whole = testdata::bytes("tones.wav");
    const QByteArray cut = whole.left(whole.indexOf("data") + 8 + 1234 * 4 + 2);
    struct Case {
        const char* file;    // "cut": tones.wav cut short
        std::size_t frames;  // as the file's header says (the encoders fill their last block)
        const char* reference;
        double maxNoise;  // noise to signal power the encoding may add
    };
    for (const Case& c : {Case{"tones.wav", 5000, "tones.wav", 0},
                          {"cut", 1234, "tones.wav", 0},
                          {"tones-u8.wav", 5000, "tones-mono.wav", 1e-3},
                          {"tones-msadpcm.wav", 6108, "tones-mono.wav", 1e-3},
                          {"tones-imaadpcm.wav", 5050, "tones-mono.wav", 1e-3},
                          {"tones-ulaw.wav", 5000, "tones.wav", 1e-3},
                          {"tones-alaw.wav", 5000, "tones-mono.wav", 1e-3},
                          {"tones-gsm.wav", 5120, "tones-mono.wav", 0.05}}) {
        SCOPED_TRACE(c.file);
        const QByteArray wave = c.file == std::string("cut") ? cut : testdata::bytes(c.file);
        ASSERT_TRUE(testdata::write(m_dir.filePath("Chord.wav"), wave));
        const Frames reference = waveFrames(testdata::path(c.reference));
        // A player of its own for each: its device starts the output anew. The whole sound is
        // queued before the device starts, so the driver writes it without gaps.
        platform::SdlWavePlayer player(m_drives);
        ASSERT_TRUE(preview(player, "C:\\Chord.wav"));
        const Frames sound = played(c.frames + 1);
        ASSERT_GT(sound.size(), c.frames);
        double noise = 0, power = 0;
        for (std::size_t i = 0; i < std::min(c.frames, reference.size()); ++i) {
            noise += std::pow(sound[i].left - reference[i].left, 2) +
                     std::pow(sound[i].right - reference[i].right, 2);
            power += std::pow(reference[i].left, 2) + std::pow(reference[i].right, 2);
        }
        EXPECT_LE(noise / power, c.maxNoise);
        EXPECT_TRUE(sound[c.frames].silent()) << "the sound ends where the wave does";
    }
}

TEST_F(SdlWavePlayerDisk, OneDeviceServesEveryPreviewAndCloseStopsTheSound) {
    // Twenty minutes of sound cannot end on its own within the test: the paced disk driver
    // writes one buffer per millisecond at most, so all of it takes about a minute. Both it
    // (above silence) and the short sound (below it) are 8 kHz 8-bit.
    qputenv("SDL_DISKAUDIODELAY", "1");
    ASSERT_TRUE(
        testdata::write(m_dir.filePath("Long.wav"), qUncompress(testdata::bytes("long.wav.qz"))));
    ASSERT_TRUE(QFile::copy(testdata::path("low.wav"), m_dir.filePath("Short.wav")));
    auto high = [](Frame f) { return f.left > 0 && f.right > 0; };
    auto low = [](Frame f) { return f.left < 0 && f.right < 0; };

    platform::SdlWavePlayer player(m_drives);
    ASSERT_TRUE(preview(player, "C:\\Long.wav"));
    const Frames start = played(8192);
    ASSERT_TRUE(std::all_of(start.begin(), start.begin() + 8192, high));

    // A cancelled pick leaves "*.wav": nothing opens, and yet the long sound stops.
    EXPECT_FALSE(preview(player, "*.wav"));
    std::size_t stoppedAt = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const Frames sound = played();
            stoppedAt = std::find_if_not(sound.begin(), sound.end(), high) - sound.begin();
            return sound.size() >= stoppedAt + 1024 &&
                   std::all_of(sound.begin() + stoppedAt, sound.begin() + stoppedAt + 1024,
                               [](Frame f) { return f.silent(); });
        },
        20000))
        << "the long sound played on after the close";

    // The next preview, at another rate, plays its sound from the start and in full, with
    // nothing of the first after it.
    ASSERT_TRUE(preview(player, "C:\\Short.wav"));
    const std::size_t shortFrames = 44100 * 4 / 10;
    const Frames rest = played(shortFrames + 1024, stoppedAt);
    const auto lowEnd = std::find_if_not(rest.begin(), rest.end(), low);
    EXPECT_NEAR(lowEnd - rest.begin(), static_cast<double>(shortFrames), 64.0);
    // (The resampler rings a little where the sound stops; the first sound is far louder.)
    EXPECT_TRUE(
        std::none_of(lowEnd, rest.end(), [](Frame f) { return f.left > 3000 || f.right > 3000; }));

    // The device was never closed: reopening would have started its output anew.
    EXPECT_TRUE(high(played().front()));
}

TEST_F(SdlWavePlayerDisk, AudioStartsOnlyForAWaveItOpensAndStopsWithThePlayer) {
    ASSERT_TRUE(testdata::write(m_dir.filePath("Notes.wav"), "Not the waves you are looking for"));
    ASSERT_TRUE(QFile::copy(testdata::path("tones-mono.wav"), m_dir.filePath("Good.wav")));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Folder.wav"));
    const auto termHandler = std::signal(SIGTERM, SIG_DFL);
    {
        platform::SdlWavePlayer player(m_drives);
        // Nothing open yet: close is harmless, play has nothing to play.
        EXPECT_TRUE(player.setCommand("close"));
        EXPECT_FALSE(player.setCommand("play"));
        for (const std::string path : {"C:\\Missing.wav", "C:\\Notes.wav", "*.wav", "",
                                       "C:\\Folder.wav", "C:\\..\\Good.wav", "Q:\\Good.wav"})
            EXPECT_FALSE(preview(player, path)) << path;
        // Only wave audio is opened, whatever the file holds.
        player.setDeviceType("CDAudio");
        player.setFileName("C:\\Good.wav");
        EXPECT_FALSE(player.setCommand("open") || player.setCommand("play") ||
                     player.setCommand("record"));
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "audio must not start before a preview";
        EXPECT_FALSE(QFile::exists(m_out)) << "no device was ever opened";

        // The device type and the commands are not case-sensitive.
        player.setDeviceType("waveaudio");
        EXPECT_TRUE(player.setCommand("OPEN") && player.setCommand("Play"));
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_TRUE(QFile::exists(m_out));
        // Still the default: SIGTERM must go on ending the tool.
        EXPECT_EQ(std::signal(SIGTERM, SIG_DFL), SIG_DFL);
        // Left open and playing, as a preview is; the destructor releases it.
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    std::signal(SIGTERM, termHandler);
}

}  // namespace

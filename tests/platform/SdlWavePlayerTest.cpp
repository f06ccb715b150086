// SPDX-License-Identifier: MIT
// Wave previews played for real: SDL's disk driver writes every sample the device plays to a
// file, which the tests compare with the reference sound each test wave was encoded from. The
// device runs at 44.1 kHz, 16-bit stereo; what it plays follows the silence it wrote while
// paused and is followed by the silence it pads with.

#include <SDL.h>

#include <QTest>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>

#include "platform/qt/SdlWavePlayer.h"
#include "support/FifoWatch.h"
#include "support/TempDrive.h"

namespace {

struct Frame {
    std::int16_t left = 0, right = 0;
    bool silent() const { return left == 0 && right == 0; }
};
using Frames = std::vector<Frame>;

/// 16-bit samples as frames; one channel plays on both sides.
Frames toFrames(const QByteArray& samples, int channels) {
    Frames frames(static_cast<std::size_t>(samples.size() / 2 / channels));
    const auto* s = reinterpret_cast<const std::int16_t*>(samples.constData());
    for (Frame& frame : frames) {
        frame = {s[0], s[channels - 1]};
        s += channels;
    }
    return frames;
}

/// The frames from `from` on, after the silence there.
Frames afterSilence(const Frames& frames, std::size_t from = 0) {
    const auto start = frames.begin() + static_cast<std::ptrdiff_t>(std::min(from, frames.size()));
    return {std::find_if(start, frames.end(), [](Frame f) { return !f.silent(); }), frames.end()};
}

class SdlWavePlayerDisk : public testsupport::TempDriveTest {
protected:
    // Every test here plays through the disk driver; no other test in this program uses audio.
    void SetUp() override {
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
                const Frames frames = toFrames(testdata::contents(m_out), 2);
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

    QString m_out = m_dir.filePath("out.raw");
};

// Audio starts only for a wave the player opens and stops with the player. Then each
// encoding, and a wave cut inside frame 1235 (its first sample there, its second not), plays
// its frames in full, then silence at once: a half frame is no click.
TEST_F(SdlWavePlayerDisk, AudioStartsOnlyForWhatOpensAndEveryEncodingPlaysItsSoundInFull) {
    put("Notes.wav", "Not the waves you are looking for");
    put("Good.wav", testdata::bytes("tones-mono.wav"));
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
        // Still the default: SIGTERM must go on ending the tool.
        EXPECT_EQ(std::signal(SIGTERM, SIG_DFL), SIG_DFL);
        // Left open and playing, as a preview is; the destructor releases it.
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    std::signal(SIGTERM, termHandler);

    const QByteArray whole = testdata::bytes("tones.wav");
    const QByteArray cut = whole.left(whole.indexOf("data") + 8 + 1234 * 4 + 2);
    // Each file ("cut": tones.wav cut short), its frames as its header says (the encoders fill
    // their last block), the plain PCM wave it was encoded from, and the noise to signal power
    // its encoding may add.
    for (const auto& [file, frames, source, maxNoise] :
         {std::tuple{"tones.wav", std::size_t{5000}, "tones.wav", 0.0},
          {"cut", 1234, "tones.wav", 0},
          {"tones-u8.wav", 5000, "tones-mono.wav", 1e-3},
          {"tones-msadpcm.wav", 6108, "tones-mono.wav", 1e-3},
          {"tones-imaadpcm.wav", 5050, "tones-mono.wav", 1e-3},
          {"tones-ulaw.wav", 5000, "tones.wav", 1e-3},
          {"tones-alaw.wav", 5000, "tones-mono.wav", 1e-3},
          {"tones-gsm.wav", 5120, "tones-mono.wav", 0.05}}) {
        SCOPED_TRACE(file);
        const QByteArray wave = file == std::string("cut") ? cut : testdata::bytes(file);
        // A plain PCM wave: a 44-byte header, the channel count at byte 22.
        const QByteArray pcm = testdata::bytes(source);
        const Frames reference = toFrames(pcm.mid(44), pcm[22]);
        // A player of its own for each: its device starts the output anew. The whole sound is
        // queued before the device starts, so the driver writes it without gaps.
        platform::SdlWavePlayer player(m_drives);
        ASSERT_TRUE(preview(player, put("Chord.wav", wave)));
        const Frames sound = played(frames + 1);
        ASSERT_GT(sound.size(), frames);
        double noise = 0, power = 0;
        for (std::size_t i = 0; i < std::min(frames, reference.size()); ++i) {
            noise += std::pow(sound[i].left - reference[i].left, 2) +
                     std::pow(sound[i].right - reference[i].right, 2);
            power += std::pow(reference[i].left, 2) + std::pow(reference[i].right, 2);
        }
        EXPECT_LE(noise / power, maxNoise);
        EXPECT_TRUE(sound[frames].silent()) << "the sound ends where the wave does";
    }
}

// "Play" on the Sounds page replays the wave "open" opened, from that open file: by then its
// path may name a FIFO, whose open would wait for a writer, or another sound.
TEST_F(SdlWavePlayerDisk, PlayAgainReadsTheOpenedFileNotItsPathASecondTime) {
    platform::SdlWavePlayer player(m_drives);
    ASSERT_TRUE(preview(player, put("Chord.wav", testdata::bytes("tones.wav"))));
    const Frames first = played(5001);
    ASSERT_TRUE(QFile::remove(m_dir.filePath("Chord.wav")));
    testsupport::FifoWatch watch(m_dir.filePath("Chord.wav"));
    EXPECT_TRUE(player.setCommand("stop") && player.setCommand("play"));
    EXPECT_FALSE(watch.release());
    EXPECT_EQ(std::memcmp(first.data(), played(5000, 5000).data(), 5000 * sizeof(Frame)), 0);
}

TEST_F(SdlWavePlayerDisk, OneDeviceServesEveryPreviewAndCloseStopsTheSound) {
    // Twenty minutes of sound cannot end on its own within the test: the paced disk driver
    // writes one buffer per millisecond at most, so all of it takes about a minute. Both it
    // (above silence) and the short sound (below it) are 8 kHz 8-bit.
    qputenv("SDL_DISKAUDIODELAY", "1");
    const auto longWave = put("Long.wav", qUncompress(testdata::bytes("long.wav.qz")));
    const auto shortWave = put("Short.wav", testdata::bytes("low.wav"));
    auto high = [](Frame f) { return f.left > 0 && f.right > 0; };
    auto low = [](Frame f) { return f.left < 0 && f.right < 0; };

    platform::SdlWavePlayer player(m_drives);
    ASSERT_TRUE(preview(player, longWave));
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
    ASSERT_TRUE(preview(player, shortWave));
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

}  // namespace

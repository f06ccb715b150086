// SPDX-License-Identifier: MIT
// The conversions, from files ImageMagick and sox made, each result read back by an
// independent reader (file, identify, soxi), by the project's own picture loader and
// animated-cursor reader, and by the check itself.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "compat/Check.h"
#include "compat/Convert.h"
#include "compat/Headers.h"
#include "compat/Shell.h"
#include "platform/qt/QtPictureLoader.h"
#include "preview/AniReader.h"
#include "support/TempDrive.h"

namespace {

using compat::Conversion;
using Kind = compat::Slot::Kind;

class Convert : public testsupport::TempDriveTest {
protected:
    // Makes "in" with the shell command, converts it and writes the result; gives its name.
    QString convert(const char* make, Conversion conversion, std::string name = "in.png",
                    state::Color background = state::rgb(0, 0, 255)) {
        bool ok = false;
        const QString said = testsupport::shell(m_dir.path(), make, &ok);
        EXPECT_TRUE(ok) << said.toStdString();
        std::string why;
        const auto out = compat::convertFile(conversion, m_dir.filePath("in").toStdString(), name,
                                             background, &why);
        EXPECT_TRUE(out) << why;
        if (!out) return {};
        m_bytes = out->bytes;
        const QString file = QString::fromStdString(out->name);
        EXPECT_TRUE(testdata::write(m_dir.filePath(file), QByteArray::fromStdString(out->bytes)));
        return file;
    }
    QString run(const QString& command) { return testsupport::shell(m_dir.path(), command); }
    // The check finds nothing in the converted file.
    void passesCheck(Kind kind) {
        const auto found = compat::checkBytes({kind, 0}, "C:\\x", m_bytes);
        EXPECT_TRUE(found.empty()) << found.front().problem;
    }
    QImage load(const QString& file) {
        platform::QtPictureLoader loader(m_drives);
        return loader.load("C:\\" + file.toStdString()).value_or(QImage());
    }
    std::string m_bytes;
};

TEST_F(Convert, IconHasFourBmpCodedImagesWithMasksAndBlendedEdges) {
    // A red disc on a clear ground, its edge half-covered: ImageMagick draws it antialiased.
    const QString file = convert(
        "convert -size 64x64 xc:none -fill red -draw 'circle 32,32 32,4' png:in", Conversion::Icon);
    EXPECT_EQ(file, "in.ico");
    const QString said = run("file " + file + "; identify " + file);
    for (const char* part :
         {"4 icons", "32x32, 16 colors, 4 bits/pixel", "[1] ICO 16x16 16x16+0+0 4-bit",
          "[2] ICO 32x32 32x32+0+0 8-bit", "[3] ICO 16x16 16x16+0+0 8-bit"})
        EXPECT_TRUE(said.contains(part)) << said.toStdString();
    passesCheck(Kind::Icon);
    const QImage icon = load(file);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.pixel(16, 16), qRgb(255, 0, 0));  // the middle: opaque red
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);          // the corner: clear through the AND mask
    // Some edge pixels were blended on the blue Background: neither pure red nor clear.
    int blended = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = icon.pixel(x, y);
            blended += qAlpha(c) == 255 && qBlue(c) > 40 && qRed(c) > 40;
        }
    EXPECT_GT(blended, 0);
}

TEST_F(Convert, CursorKeepsItsHotSpotScaledAndAnimationsTheirOrder) {
    // A 64 px 32-bit cursor whose hot spot is (40, 20): the hot-spot fields set by hand.
    QString file = convert(
        "convert -size 64x64 gradient:red-blue ico:in && printf '\\002' | dd "
        "of=in bs=1 seek=2 conv=notrunc && printf '\\050\\000\\024' | dd of=in "
        "bs=1 seek=10 conv=notrunc",
        Conversion::Pointer, "arrow.cur");
    EXPECT_EQ(file, "arrow.cur");
    auto dir = compat::readIconDirectory(m_bytes);
    ASSERT_TRUE(dir && dir->cursor && dir->images.size() == 1);
    EXPECT_EQ(dir->images[0].hotspotX, 20);
    EXPECT_EQ(dir->images[0].hotspotY, 10);
    EXPECT_EQ(dir->images[0].bits, 8);
    passesCheck(Kind::Pointer);
    EXPECT_EQ(load(file).size(), QSize(32, 32));

    // Three 256 px PNG frames, a sequence and rates: every frame converted, order kept.
    file = convert(
        "for c in red lime blue; do convert -size 256x256 xc:$c ico:$c.ico; done && "
        "python3 $DATA/binary.py ani in red.ico lime.ico blue.ico seq=2,0,2,1 "
        "rates=3,6,9,12",
        Conversion::AnimatedPointer, "busy.ani");
    passesCheck(Kind::Pointer);
    const auto ani = preview::readAni(QByteArray::fromStdString(m_bytes));
    ASSERT_TRUE(ani);
    ASSERT_EQ(ani->frames.size(), 3u);
    EXPECT_EQ(ani->steps, (std::vector<preview::AniStep>{{2, 3}, {0, 6}, {2, 9}, {1, 12}}));
    platform::QtPictureLoader loader(m_drives);
    const auto blue = loader.decodeIcon(ani->frames[2]);
    ASSERT_TRUE(blue);
    EXPECT_EQ(blue->size(), QSize(32, 32));
    EXPECT_EQ(blue->pixel(16, 16), qRgb(0, 0, 255));
}

TEST_F(Convert, WallpaperIs24BitAndScaledDownOnlyPast1600By1200) {
    QString file =
        convert("convert -size 3000x1000 xc:lime png:in", Conversion::Wallpaper, "wall.png");
    EXPECT_EQ(file, "wall.bmp");
    EXPECT_TRUE(run("file wall.bmp").contains("Windows 3.x format, 1600 x 533 x 24"));
    passesCheck(Kind::Wallpaper);
    EXPECT_EQ(load(file).pixel(800, 266), qRgb(0, 255, 0));

    // A small WebP with a clear half: kept at its size, the clear half in the Background colour.
    file = convert("convert -size 40x30 xc:none -fill red -draw 'rectangle 0,0 19,29' webp:in",
                   Conversion::Wallpaper, "small.webp", state::rgb(0, 128, 0));
    EXPECT_TRUE(run("identify -verbose " + file).contains("Geometry: 40x30+0+0"));
    const QImage small = load(file);
    EXPECT_GT(qRed(small.pixel(5, 5)), 245);  // WebP is lossy
    EXPECT_LT(qGreen(small.pixel(5, 5)) + qBlue(small.pixel(5, 5)), 10);
    EXPECT_EQ(small.pixel(35, 5), qRgb(0, 128, 0));
}

TEST_F(Convert, LogoIs320By400With256ColoursLetterboxedOnBlack) {
    // A wide 16:9 picture: in the 4:3 view it spans the width and 360 of 480 lines, that is
    // 300 of the logo's 400 rows, with 50 black rows above and below.
    const QString file = convert("convert -size 1920x1080 gradient:red-yellow png:in",
                                 Conversion::Logo, "Start.png");
    EXPECT_EQ(file, "Start.bmp");
    const QString said = run("file " + file + "; identify -verbose " + file);
    EXPECT_TRUE(said.contains("Windows 3.x format, 320 x 400 x 8")) << said.toStdString();
    passesCheck(Kind::Logo);
    const QImage logo = load(file);
    EXPECT_EQ(logo.pixel(160, 45), qRgb(0, 0, 0));
    EXPECT_EQ(logo.pixel(160, 355), qRgb(0, 0, 0));
    EXPECT_EQ(qRed(logo.pixel(160, 55)), 255);
    EXPECT_GT(qGreen(logo.pixel(160, 340)), 200);  // the yellow end of the gradient
}

TEST_F(Convert, SoundsBecome16BitPcmAt22050HzWithTheirChannels) {
    const struct {
        const char* make;
        const char* channels;
    } cases[] = {
        {"sox -n -r 48000 -c 2 in.ogg synth 1 sine 1000 && mv in.ogg in", "Channels       : 2"},
        {"sox -n -r 44100 -b 24 -c 1 in.flac synth 1 sine 1000 && mv in.flac in",
         "Channels       : 1"},
        {"sox -n -r 96000 -e floating-point -b 32 in.wav synth 1 sine 1000 && mv in.wav in",
         "Channels       : 1"},
    };
    for (const auto& c : cases) {
        const QString file = convert(c.make, Conversion::Sound, "ding.ogg");
        EXPECT_EQ(file, "ding.wav");
        const QString said = run("soxi " + file);
        for (const char* part : {"Sample Rate    : 22050", "Precision      : 16-bit",
                                 "Sample Encoding: 16-bit Signed Integer PCM", c.channels})
            EXPECT_TRUE(said.contains(part)) << c.make << "\n" << said.toStdString();
        passesCheck(Kind::Sound);
        // Still one second of 1 kHz: about 2000 zero crossings in the first channel.
        const auto format = compat::readWaveFormat(m_bytes);
        ASSERT_TRUE(format);
        const std::size_t frames =
            (m_bytes.size() - 44) / 2 / static_cast<std::size_t>(format->channels);
        EXPECT_NEAR(static_cast<double>(frames), 22050.0, 100.0);
        int crossings = 0;
        short last = 0;
        for (std::size_t i = 0; i < frames; ++i) {
            const auto s = static_cast<short>(compat::le16(m_bytes, 44 + 2 * i * format->channels));
            if ((s < 0) != (last < 0)) ++crossings;
            last = s;
        }
        EXPECT_NEAR(crossings, 2000, 40) << c.make;
    }
}

TEST(ConvertColours, MedianCutFollowsThePictureWhereAFixedCubeCannot) {
    // 256 shades of red into 16 colours: a 6x6x6 cube would be 25 levels apart (an error up to
    // 25); cutting at the medians keeps every shade within 8.
    QImage shades(256, 1, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x) shades.setPixel(x, 0, qRgb(x, 0, 0));
    const auto palette = compat::medianCut(shades, 16);
    ASSERT_EQ(palette.size(), 16u);
    for (int x = 0; x < 256; ++x) {
        int best = 255;
        for (QRgb c : palette) best = std::min(best, std::abs(qRed(c) - x) + qGreen(c) + qBlue(c));
        EXPECT_LE(best, 8) << x;
    }
    // Few colours are kept exactly.
    QImage three(3, 1, QImage::Format_RGB32);
    for (int x = 0; x < 3; ++x) three.setPixel(x, 0, qRgb(10 * x, 7, 200));
    EXPECT_EQ(compat::medianCut(three, 16).size(), 3u);
}

TEST(ConvertNames, OnlyTheExtensionChangesWhereTheFormatDoes) {
    EXPECT_EQ(compat::convertedName("wall.png", Conversion::Wallpaper), "wall.bmp");
    EXPECT_EQ(compat::convertedName("WALL.BMP", Conversion::Wallpaper), "WALL.BMP");
    EXPECT_EQ(compat::convertedName("my.icon.png", Conversion::Icon), "my.icon.ico");
    EXPECT_EQ(compat::convertedName("LOGO.SYS", Conversion::Logo), "LOGO.SYS");
    EXPECT_EQ(compat::convertedName("boot.png", Conversion::Logo), "boot.bmp");
    EXPECT_EQ(compat::convertedName("ding", Conversion::Sound), "ding.wav");
    EXPECT_EQ(compat::convertedName("pointer.png", Conversion::AnimatedPointer), "pointer.ani");
}

}  // namespace

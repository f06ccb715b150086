// SPDX-License-Identifier: MIT
// The preview loader on real files (tests/data): formats by content, the largest icon image,
// decoding at the box's size, and files cut short refused instead of shown with garbage.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "platform/qt/QtPictureLoader.h"
#include "support/TempDrive.h"
#include "support/TestData.h"

namespace {

class QtPictureLoaderTest : public ::testing::Test {
protected:
    std::optional<QImage> load(const QString& name, const QByteArray& bytes, QSize box = {}) {
        EXPECT_TRUE(testdata::write(m_dir.filePath(name), bytes));
        return m_loader.load("C:\\" + name.toStdString(), box);
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = testsupport::driveOn(m_dir.path());
    platform::QtPictureLoader m_loader{m_drives};
};

TEST_F(QtPictureLoaderTest, PicturesLoadByContentAndWhatIsCutShortOrNoPictureIsRefused) {
    const QByteArray icon = testdata::bytes("multi.ico");  // 16, 48 and 32 pixels, in that order
    const QByteArray bmp = testdata::bytes("red.bmp");
    const QByteArray jpeg = testdata::bytes("pattern.jpg");
    const std::pair<QString, QByteArray> pictures[] = {
        {"arrow.cur", testdata::bytes("red.cur")},
        {"LOGO.SYS", bmp},
        {"whole.jpg", jpeg},
        // Bytes after the end marker do not make a whole file look cut.
        {"padded.jpg", jpeg + QByteArray(100, '\0')}};
    for (const auto& [name, bytes] : pictures) EXPECT_TRUE(load(name, bytes)) << name.toStdString();
    const std::pair<QString, QByteArray> refused[] = {{"text.jpg", "just words"},
                                                      {"cut.bmp", bmp.chopped(7)},
                                                      {"half.jpg", jpeg.left(jpeg.size() / 2)},
                                                      {"short.jpg", jpeg.chopped(2)},
                                                      {"cut.ico", icon.chopped(40)}};
    for (const auto& [name, bytes] : refused) EXPECT_FALSE(load(name, bytes)) << name.toStdString();
    for (const char* path : {"C:\\nothing.ico", "Q:\\unmapped.ico", "C:\\" /* a folder */})
        EXPECT_FALSE(m_loader.load(path)) << path;
    // A FIFO with no writer would block the window for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath("pipe.ico")).constData(), 0600), 0);
    EXPECT_FALSE(m_loader.load("C:\\pipe.ico"));
    EXPECT_TRUE(m_loader.load("").value_or(QImage(1, 1, QImage::Format_RGB32)).isNull());

    // The largest icon image wherever it is stored, stretched to a box without blurring.
    const QImage largest = load("multi.ico", icon).value_or(QImage());
    EXPECT_EQ(largest.size(), QSize(48, 48));
    EXPECT_EQ(largest.pixel(10, 10), qRgb(0, 255, 0));
    EXPECT_EQ(load("multi.ico", icon, {81, 73}).value_or(QImage()).size(), QSize(81, 73));
    // A photograph read straight at the box's size.
    EXPECT_EQ(load("big.jpg", jpeg, {327, 231}).value_or(QImage()).size(), QSize(327, 231));
}

// Palette, run-length and OS/2 bitmaps (the usual splash logos) preview whole, judged by
// their own rows or run-length stream, and every one cut short is refused.
TEST_F(QtPictureLoaderTest, PaletteRunLengthAndOs2LogosPreviewAndCutOnesAreRefused) {
    auto stripe = [](int x, int y) {
        const int i = (x / 20 + y / 25) % 16;
        return qRgb(i * 16, 255 - i * 16, (i * 40) & 255);
    };
    for (const char* file : {"stripes-4.bmp", "stripes-8.bmp", "stripes-rle4.bmp",
                             "stripes-rle8.bmp", "stripes-os2.bmp"}) {
        const QByteArray bmp = testdata::bytes(file);
        const auto logo = load("logo.sys", bmp);
        ASSERT_TRUE(logo) << file;
        ASSERT_EQ(logo->size(), QSize(320, 400)) << file;
        for (const QPoint p : {QPoint(1, 0), QPoint(150, 199), QPoint(319, 399)})
            EXPECT_EQ(logo->pixel(p), stripe(p.x(), p.y())) << file;
        for (const int cut : {3, 200})
            EXPECT_FALSE(load("cut.sys", bmp.chopped(cut))) << file << " cut by " << cut;
    }
}

TEST(PictureChecks, HostileHeadersAreRefusedInOnePass) {
    // Sizes whose product overflows 64 bits; a JPEG of fill bytes, judged in one pass.
    EXPECT_TRUE(platform::isPictureDataCutShort(testdata::bytes("overflow.bmp"), "bmp"));
    EXPECT_TRUE(platform::isPictureDataCutShort(
        QByteArray("\xFF\xD8") + QByteArray(5 << 20, '\xFF'), "jpeg"));
}

// Monochrome and palette cursors drawn as Windows draws them: AND mask, then XOR colour, so
// the pixels an I-beam inverts show as the inverse of the box's background.
TEST_F(QtPictureLoaderTest, PaletteCursorsShowTheirInvertedPixels) {
    const QRgb back = QGuiApplication::palette().color(QPalette::Window).rgb();
    // Each: an inverting I-beam, a transparent ground and an opaque square at the corner.
    for (const auto& [file, square] : {std::pair{"beam1.cur", qRgb(0, 0, 0)},
                                       {"beam4.cur", qRgb(200, 30, 40)},
                                       {"beam8.cur", qRgb(10, 90, 250)}}) {
        const auto picture = load("beam.cur", testdata::bytes(file));
        ASSERT_TRUE(picture) << file;
        ASSERT_EQ(picture->size(), QSize(32, 32));
        EXPECT_EQ(picture->pixel(15, 10),
                  qRgb(255 - qRed(back), 255 - qGreen(back), 255 - qBlue(back)))
            << file << ": an inverted pixel shows the inverse of the background";
        EXPECT_EQ(picture->pixel(1, 1), square) << file;
        EXPECT_EQ(qAlpha(picture->pixel(25, 25)), 0) << file << ": transparent";
    }
}

// Found by fuzzing: a damaged run-length bitmap that Qt decodes to palette indices beyond its
// colour table; drawing or scaling it read past the table and crashed.
TEST_F(QtPictureLoaderTest, DamagedRunLengthBitmapGivesOnlyPaletteColours) {
    for (const QSize box : {QSize(), QSize(13, 7)}) {
        const auto picture = load("fuzzed.sys", testdata::bytes("fuzzed-rle.bmp"), box);
        if (!picture) continue;  // refusing it is as good
        for (int y = 0; picture->format() == QImage::Format_Indexed8 && y < picture->height(); ++y)
            for (int x = 0; x < picture->width(); ++x)
                ASSERT_LT(picture->pixelIndex(x, y), picture->colorCount()) << x << "," << y;
        EXPECT_FALSE(QPixmap::fromImage(*picture).isNull());
    }
}

}  // namespace

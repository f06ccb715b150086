// SPDX-License-Identifier: MIT
// The preview loader on real files: formats by content, the largest icon image, decoding at
// the box's size, and files cut short refused instead of shown with garbage.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "pages/TestPictures.h"
#include "platform/qt/QtPictureLoader.h"

namespace {

using platform::QtPictureLoader;
using namespace testpictures;

class QtPictureLoaderTest : public ::testing::Test {
protected:
    std::string put(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(writeBytes(m_dir.filePath(name), bytes));
        return "C:\\" + name.toStdString();
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = [this] {
        platform::DriveMap d;
        d.map('C', m_dir.path().toStdString());
        return d;
    }();
    QtPictureLoader m_loader{m_drives};
};

TEST_F(QtPictureLoaderTest, EmptyNameGivesAnEmptyPictureAndMissingFilesFail) {
    const auto empty = m_loader.load("");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isNull());
    EXPECT_FALSE(m_loader.load("C:\\nothing.ico").has_value());
    EXPECT_FALSE(m_loader.load("Q:\\unmapped.ico").has_value());
    EXPECT_FALSE(m_loader.load(put("text.jpg", "just words")).has_value());
}

TEST_F(QtPictureLoaderTest, MultiSizeIconShowsItsLargestImageWhereverItIsStored) {
    const auto path = put("multi.ico", iconFile({filled(16, 16, Qt::red), filled(48, 48, Qt::green),
                                                 filled(32, 32, Qt::blue)}));
    const auto picture = m_loader.load(path);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->size(), QSize(48, 48));
    EXPECT_EQ(picture->pixelColor(10, 10), QColor(Qt::green));
    // Stretched to a box without blurring its pixels.
    const auto boxed = m_loader.load(path, QSize(81, 73));
    ASSERT_TRUE(boxed.has_value());
    EXPECT_EQ(boxed->size(), QSize(81, 73));
}

TEST_F(QtPictureLoaderTest, StaticCursorAndBitmapUnderAnyExtensionLoad) {
    const auto cursor = m_loader.load(put("arrow.cur", iconFile({filled(32, 32, Qt::yellow)}, 2)));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->size(), QSize(32, 32));
    const auto logo = m_loader.load(put("LOGO.SYS", encode(filled(320, 400, Qt::magenta), "bmp")));
    ASSERT_TRUE(logo.has_value());
    EXPECT_EQ(logo->size(), QSize(320, 400));
}

TEST_F(QtPictureLoaderTest, FilesCutShortAreRefused) {
    const QByteArray bmp = encode(filled(200, 150, Qt::cyan), "bmp");
    EXPECT_TRUE(m_loader.load(put("whole.bmp", bmp)).has_value());
    EXPECT_FALSE(m_loader.load(put("cut.bmp", bmp.left(bmp.size() - 7))).has_value());

    const QByteArray jpeg = encode(pattern(640, 480), "jpeg");
    EXPECT_TRUE(m_loader.load(put("whole.jpg", jpeg)).has_value());
    EXPECT_FALSE(m_loader.load(put("half.jpg", jpeg.left(jpeg.size() / 2))).has_value());
    EXPECT_FALSE(m_loader.load(put("short.jpg", jpeg.left(jpeg.size() - 2))).has_value());
    // Bytes after the end marker do not make a whole file look cut.
    EXPECT_TRUE(m_loader.load(put("padded.jpg", jpeg + QByteArray(100, '\0'))).has_value());

    const QByteArray ico = iconFile({filled(32, 32, Qt::red), filled(48, 48, Qt::blue)});
    EXPECT_FALSE(m_loader.load(put("cut.ico", ico.left(ico.size() - 40))).has_value());
}

TEST_F(QtPictureLoaderTest, StretchedPreviewIsDecodedAtTheBoxSize) {
    // A photograph read straight at the box's size.
    const auto path = put("big.jpg", encode(pattern(3000, 2000), "jpeg", 60));
    const auto picture = m_loader.load(path, QSize(327, 231));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->size(), QSize(327, 231));
}

// Palette, run-length and OS/2 bitmaps (the usual splash logos) preview whole, judged by
// their own rows or run-length stream, and every one cut short is refused.
TEST_F(QtPictureLoaderTest, PaletteRunLengthAndOs2LogosPreviewAndCutOnesAreRefused) {
    struct Case {
        const char* name;
        int bits;
        bool runLength, os2;
    };
    for (const Case& c : {Case{"4-bit", 4, false, false}, Case{"8-bit", 8, false, false},
                          Case{"RLE4", 4, true, false}, Case{"RLE8", 8, true, false},
                          Case{"OS2", 8, false, true}}) {
        const QByteArray bmp = paletteBitmap(c.bits, c.runLength, c.os2);
        const auto logo = m_loader.load(put(QString("%1.sys").arg(c.name), bmp));
        ASSERT_TRUE(logo.has_value()) << c.name;
        ASSERT_EQ(logo->size(), QSize(320, 400)) << c.name;
        for (const QPoint p : {QPoint(1, 0), QPoint(150, 199), QPoint(319, 399)})
            EXPECT_EQ(logo->pixel(p), stripeColour(stripeIndex(p.x(), p.y()))) << c.name;
        for (const int cut : {3, 200})
            EXPECT_FALSE(
                m_loader.load(put(QString("%1-cut.sys").arg(c.name), bmp.chopped(cut))).has_value())
                << c.name << " cut by " << cut;
    }
}

TEST(PictureChecks, HostileHeadersAreRefusedInOnePass) {
    // Sizes whose product overflows 64 bits.
    QByteArray huge("BM");
    for (const qint64 v :
         {qint64(54), qint64(0), qint64(54), qint64(40), qint64(0x7FFFFFFF), qint64(0x7FFFFFFF)})
        put32(huge, v);
    put16(huge, 1);
    put16(huge, 0xFFFF);
    huge += QByteArray(54 - huge.size(), '\0');
    EXPECT_TRUE(platform::isPictureDataCutShort(huge, "bmp"));
    // A JPEG of fill bytes: judged in one pass over memory.
    EXPECT_TRUE(platform::isPictureDataCutShort(
        QByteArray("\xFF\xD8") + QByteArray(5 << 20, '\xFF'), "jpeg"));
}

TEST_F(QtPictureLoaderTest, OnlyRegularFilesAreOpened) {
    // A FIFO with no writer would block the window for good.
    const QByteArray fifo = QFile::encodeName(m_dir.filePath("pipe.ico"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    EXPECT_FALSE(m_loader.load("C:\\pipe.ico").has_value());
    EXPECT_FALSE(m_loader.load("C:\\").has_value()) << "a folder";
}

// Monochrome and palette cursors drawn as Windows draws them: AND mask, then XOR colour, so
// the pixels an I-beam inverts show as the inverse of the box's background.
TEST_F(QtPictureLoaderTest, PaletteCursorsShowTheirInvertedPixels) {
    const QRgb back = QGuiApplication::palette().color(QPalette::Window).rgb();
    const auto beam = [](int x, int y) { return x >= 14 && x < 17 && y >= 4 && y < 28; };
    struct Case {
        int bits;
        std::vector<QRgb> palette;
        int colour;  // index of the opaque square's colour
    };
    for (const Case& c : {Case{1, {qRgb(0, 0, 0), qRgb(255, 255, 255)}, 0},
                          Case{4, {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 30, 40)}, 2},
                          Case{8, {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(10, 90, 250)}, 2}}) {
        // An inverting I-beam, a transparent background and an opaque square at the corner.
        const auto square = [](int x, int y) { return x < 4 && y < 4; };
        const QByteArray cursor = paletteCursor(
            c.bits, c.palette,
            [&](int x, int y) { return beam(x, y)     ? 1
                                       : square(x, y) ? c.colour
                                                      : 0; },
            [&](int x, int y) { return !square(x, y); });
        const auto picture = m_loader.load(put(QString("beam%1.cur").arg(c.bits), cursor));
        ASSERT_TRUE(picture.has_value()) << c.bits;
        ASSERT_EQ(picture->size(), QSize(32, 32));
        EXPECT_EQ(picture->pixel(15, 10),
                  qRgb(255 - qRed(back), 255 - qGreen(back), 255 - qBlue(back)))
            << c.bits << "-bit: an inverted pixel shows the inverse of the background";
        EXPECT_EQ(picture->pixel(1, 1), c.palette[c.colour] | 0xFF000000) << c.bits;
        EXPECT_EQ(qAlpha(picture->pixel(25, 25)), 0) << c.bits << "-bit: transparent";
    }
}

// Found by fuzzing: a damaged run-length bitmap that Qt decodes to palette indices beyond its
// colour table; drawing or scaling it read past the table and crashed.
TEST_F(QtPictureLoaderTest, DamagedRunLengthBitmapGivesOnlyPaletteColours) {
    const QByteArray bmp(
        "\x42\x4d\x96\x00\x00\x00\x00\x00\x00\x00\x76\x00\x00\x00\x28\x00"
        "\x00\x00\x08\x00\x00\x00\x04\x00\x00\x00\x01\x00\x04\x00\x02\x00"
        "\x00\x00\x20\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00\x10\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x01\x00\x08\x08\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x12"
        "\x2e\x00\x00\x00\x01\x00\xf8\x00\x18\x00\x00\x00\x16\x00\x00\x00"
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x04\x34\x56\x00\x00\x04\x12\x00\x04\x34\x56\x00"
        "\x01\x04\x12\x00\x04\x00\x00\x00\x34\x56\x00\x00\x04\x12\x00\x00"
        "\x04\x34\x56\x00\x01",
        197);
    for (const QSize box : {QSize(), QSize(13, 7)}) {
        const auto picture = m_loader.load(put("fuzzed.sys", bmp), box);
        if (!picture) continue;  // refusing it is as good
        if (picture->format() == QImage::Format_Indexed8) {
            for (int y = 0; y < picture->height(); ++y)
                for (int x = 0; x < picture->width(); ++x)
                    ASSERT_LT(picture->pixelIndex(x, y), picture->colorCount()) << x << "," << y;
        }
        EXPECT_FALSE(QPixmap::fromImage(*picture).isNull());
    }
}

}  // namespace

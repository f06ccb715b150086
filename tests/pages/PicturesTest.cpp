// SPDX-License-Identifier: MIT
// The preview loader on real files (tests/data): formats by content, the largest icon image,
// decoding at the box's size, and files cut short refused instead of shown with garbage. Big
// pictures: BMPs read a row at a time straight to the box's size (also past Qt's allocation
// limit), and big files decoded on a worker with the latest request winning.
#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

#include "pages/AsyncPreview.h"
#include "pages/PictureBox.h"
#include "platform/qt/BmpStream.h"
#include "platform/qt/QtPictureLoader.h"
#include "support/TempDrive.h"

namespace {

class PicturesTest : public testsupport::TempDriveTest {
protected:
    std::optional<QImage> load(const QString& name, const QByteArray& bytes, QSize box = {}) {
        return m_loader.load(put(name, bytes), box);
    }
    platform::QtPictureLoader m_loader{m_drives};
};

TEST_F(PicturesTest, PicturesLoadByContentAndWhatIsCutShortOrNoPictureIsRefused) {
    const QByteArray icon = testdata::bytes("multi.ico");  // 16, 48 and 32 pixels, in that order
    const QByteArray bmp = testdata::bytes("red.bmp");
    const QByteArray jpeg = testdata::bytes("pattern.jpg");
    const std::pair<QString, QByteArray> pictures[] = {
        {"arrow.cur", testdata::bytes("red.cur")},
        {"LOGO.SYS", bmp},
        {"whole.jpg", jpeg},
        // Bytes after the end marker do not make a whole file look cut.
        {"padded.jpg", jpeg + QByteArray(100, '\0')},
        {"Sky.bmp", testdata::bytes("red.png")}};  // a PNG, whatever its name says
    for (const auto& [name, bytes] : pictures) EXPECT_TRUE(load(name, bytes)) << name.toStdString();
    const std::pair<QString, QByteArray> refused[] = {{"text.jpg", "just words"},
                                                      {"cut.bmp", bmp.chopped(7)},
                                                      {"half.jpg", jpeg.left(jpeg.size() / 2)},
                                                      {"short.jpg", jpeg.chopped(2)},
                                                      {"cut.ico", icon.chopped(40)}};
    for (const auto& [name, bytes] : refused) EXPECT_FALSE(load(name, bytes)) << name.toStdString();
    // A FIFO with no writer would block the window for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath("pipe.ico")).constData(), 0600), 0);
    for (const char* path :
         {"C:\\nothing.ico", "Q:\\unmapped.ico", "C:\\" /* a folder */, "C:\\pipe.ico"})
        EXPECT_FALSE(m_loader.load(path)) << path;
    EXPECT_TRUE(m_loader.load("").value_or(QImage(1, 1, QImage::Format_RGB32)).isNull());
    // Sizes whose product overflows 64 bits; a JPEG of fill bytes, judged in one pass.
    EXPECT_TRUE(platform::isPictureDataCutShort(testdata::bytes("overflow.bmp"), "bmp"));
    EXPECT_TRUE(platform::isPictureDataCutShort(
        QByteArray("\xFF\xD8") + QByteArray(5 << 20, '\xFF'), "jpeg"));

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
TEST_F(PicturesTest, PaletteLogosAndCursorsPreviewWholeAndCutOnesAreRefused) {
    auto stripe = [](QPoint p) {
        const int i = (p.x() / 20 + p.y() / 25) % 16;
        return qRgb(i * 16, 255 - i * 16, (i * 40) & 255);
    };
    for (const char* file : {"stripes-4.bmp", "stripes-8.bmp", "stripes-rle4.bmp",
                             "stripes-rle8.bmp", "stripes-os2.bmp"}) {
        const QByteArray bmp = testdata::bytes(file);
        const auto logo = load("logo.sys", bmp);
        ASSERT_EQ(logo.value_or(QImage()).size(), QSize(320, 400)) << file;
        for (const QPoint p : {QPoint(1, 0), QPoint(150, 199), QPoint(319, 399)})
            EXPECT_EQ(logo->pixel(p), stripe(p)) << file;
        for (const int cut : {3, 200})
            EXPECT_FALSE(load("cut.sys", bmp.chopped(cut))) << file << " cut by " << cut;
    }
    // Pictures Qt decodes with gaps: rows closed by end-of-line codes alone, moves down to past
    // the last row, a 4-bit literal run before the end code, a one-bit table of one colour. What a
    // stream skips shows colour 0 (red), a missing colour is black, the bottom right is blue;
    // one code short is refused.
    const std::pair<const char*, QRgb> gaps[] = {{"rle-rows.bmp", qRgb(0, 0, 255)},
                                                 {"rle-move.bmp", qRgb(255, 0, 0)},
                                                 {"rle4-literal.bmp", qRgb(255, 0, 0)},
                                                 {"one-colour-mono.bmp", qRgb(0, 0, 0)}};
    for (const auto& [file, topLeft] : gaps) {
        const QByteArray bmp = testdata::bytes(file);
        const QImage shown =
            load("gaps.sys", bmp).value_or(QImage()).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown.pixel(0, 0), topLeft) << file;
        EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1), qRgb(0, 0, 255)) << file;
        EXPECT_FALSE(load("cut.sys", bmp.chopped(2))) << file;
    }
    // A few bytes declaring 16000 x 16000 pixels are refused, as Qt's own limit refuses them,
    // not decoded into 256 MB.
    QByteArray vast = testdata::bytes("rle4-literal.bmp");
    for (const int at : {18, 22}) qToLittleEndian<qint32>(16000, vast.data() + at);
    EXPECT_FALSE(load("vast.sys", vast));
    // Found by fuzzing: a damaged run-length bitmap that Qt decodes to palette indices beyond
    // its colour table; drawing or scaling it read past the table and crashed.
    for (const QSize box : {QSize(), QSize(13, 7)}) {
        const auto picture = load("fuzzed.sys", testdata::bytes("fuzzed-rle.bmp"), box);
        if (!picture) continue;  // refusing it is as good
        for (int y = 0; picture->format() == QImage::Format_Indexed8 && y < picture->height(); ++y)
            for (int x = 0; x < picture->width(); ++x)
                ASSERT_LT(picture->pixelIndex(x, y), picture->colorCount()) << x << "," << y;
        EXPECT_FALSE(QPixmap::fromImage(*picture).isNull());
    }

    // Monochrome and palette cursors drawn as Windows draws them: AND mask, then XOR colour, so
    // the pixels an I-beam inverts show as the inverse of the box's background.
    const QRgb back = QGuiApplication::palette().color(QPalette::Window).rgb();
    // Each: an inverting I-beam, a transparent ground and an opaque square at the corner.
    for (const auto& [file, square] : {std::pair{"beam1.cur", qRgb(0, 0, 0)},
                                       {"beam4.cur", qRgb(200, 30, 40)},
                                       {"beam8.cur", qRgb(10, 90, 250)}}) {
        const auto picture = load("beam.cur", testdata::bytes(file));
        ASSERT_EQ(picture.value_or(QImage()).size(), QSize(32, 32)) << file;
        EXPECT_EQ(picture->pixel(15, 10),
                  qRgb(255 - qRed(back), 255 - qGreen(back), 255 - qBlue(back)))
            << file << ": an inverted pixel shows the inverse of the background";
        EXPECT_EQ(picture->pixel(1, 1), square) << file;
        EXPECT_EQ(qAlpha(picture->pixel(25, 25)), 0) << file << ": transparent";
    }
}

// The quadrant bitmaps (quadrants-<bits>.bmp.qz, 1502 x 1500, and a 12000 x 12000 1-bit one,
// 576 MB decoded, far past the 128 MB Qt allows) at the size of a 40 x 30 box. 1 bit holds
// the first two colours only; 16 bits keeps 5 bits of each channel.
TEST_F(PicturesTest, BmpOfEveryDepthReadsStraightToTheBoxSizeAndOneCutShortDoesNot) {
    // Each quadrant's colour; at 16 bits, each channel's top 5 bits widened back to 8.
    const QRgb colours[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200),
                             qRgb(250, 250, 10)};
    const QRgb colours16[4] = {qRgb(205, 24, 24), qRgb(24, 205, 24), qRgb(24, 24, 205),
                               qRgb(255, 255, 8)};
    const QPoint centres[4] = {{10, 7}, {30, 7}, {10, 22}, {30, 22}};
    for (const int bits : {1, 4, 8, 16, 24, 32, 0}) {
        const QString file = bits ? QString("quadrants-%1.bmp.qz").arg(bits) : "huge.bmp.qz";
        const auto path = put("Big.bmp", qUncompress(testdata::bytes(file)));
        const QRgb* c = bits == 16 ? colours16 : colours;  // 1 bit holds the first two only
        const std::vector<QRgb> expected = {c[0], c[1], c[bits < 2 ? 0 : 2], c[bits < 2 ? 1 : 3]};
        const auto streamed = platform::readBmpScaled(m_dir.filePath("Big.bmp"), QSize(40, 30));
        for (const auto& image : {streamed, m_loader.load(path, QSize(40, 30))}) {
            ASSERT_EQ(image.value_or(QImage()).size(), QSize(40, 30)) << file.toStdString();
            std::vector<QRgb> shown;
            for (const QPoint centre : centres) shown.push_back(image->pixel(centre));
            EXPECT_EQ(shown, expected) << file.toStdString();
        }
    }
    const QByteArray huge = qUncompress(testdata::bytes("huge.bmp.qz"));
    EXPECT_FALSE(load("Cut.bmp", huge.chopped(1500), QSize(40, 30)));
    EXPECT_FALSE(platform::readBmpScaled(m_dir.filePath("Cut.bmp"), QSize(40, 30)));
}

TEST_F(PicturesTest, LatestPreviewWinsAndAFileThatCannotBeReadChangesNothing) {
    pages::PictureBox box(true);
    box.resize(40, 30);
    auto* preview = new pages::AsyncPreview(&box, m_loader);
    QSignalSpy settled(preview, &pages::AsyncPreview::settled);
    // Big enough to go to the worker (800 x 600), and small.
    const auto blue = put("Blue.bmp", qUncompress(testdata::bytes("big-blue.bmp.qz")));
    const QByteArray green = qUncompress(testdata::bytes("big-green.bmp.qz"));
    const auto cut = put("Cut.bmp", green.left(green.size() / 2));
    preview->show(blue, box.size());
    preview->show(put("Green.bmp", green), box.size());
    EXPECT_TRUE(preview->pending());
    ASSERT_TRUE(settled.wait(20000));
    EXPECT_FALSE(preview->pending());
    EXPECT_EQ(box.picture().pixel(20, 15), qRgb(0, 255, 0));

    // A small file shows at once; the big one asked for before it never replaces it, and the
    // latest, which cannot be read, leaves the box as it was.
    preview->show(blue, box.size());
    preview->show(put("Small.bmp", testdata::bytes("red.bmp")), box.size());
    EXPECT_EQ(box.picture().pixel(20, 15), qRgb(255, 0, 0));
    preview->show(cut, box.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->pending(); }, 20000));
    EXPECT_EQ(box.picture().pixel(20, 15), qRgb(255, 0, 0));
}

}  // namespace

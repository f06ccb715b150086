// SPDX-License-Identifier: MIT
// Big pictures: BMPs read a row at a time straight to the box's size (also past Qt's
// allocation limit), big files decoded on a worker with the latest request winning, and the
// pointer preview's decoded pictures kept only while their files stay the same.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/ScriptedCommonDialog.h"
#include "pages/AsyncPreview.h"
#include "pages/MousePointersPage.h"
#include "pages/PictureBox.h"
#include "pages/TestPictures.h"
#include "platform/qt/BmpStream.h"
#include "platform/qt/QtPictureLoader.h"
#include "support/TempDrive.h"

namespace {

using namespace testpictures;

const QRgb kQuadrants[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200),
                            qRgb(250, 250, 10)};

/// A BMP whose four quadrants hold kQuadrants (top left, top right, bottom left, bottom
/// right), written by hand in the layout asked for. 16 bits is 5-5-5; 32 bits is stored top
/// down with BI_BITFIELDS; the others are bottom up with a palette or BGR triples.
QByteArray quadrantBmp(int width, int height, int bits) {
    const bool topDown = bits == 32;
    const bool fields = bits == 32;
    const int colours = bits <= 8 ? (1 << bits) : 0;
    const qint64 rowBytes = (static_cast<qint64>(width) * bits + 31) / 32 * 4;
    const int infoSize = 40;
    const int masks = fields ? 12 : 0;
    const qint64 offBits = 14 + infoSize + masks + colours * 4;
    QByteArray b(offBits + rowBytes * height, '\0');
    auto put16 = [&](qint64 at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    auto put32 = [&](qint64 at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<quint32>(b.size()));
    put32(10, static_cast<quint32>(offBits));
    put32(14, infoSize);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(topDown ? -height : height));
    put16(26, 1);
    put16(28, static_cast<quint16>(bits));
    put32(30, fields ? 3 : 0);
    if (fields) {
        put32(54, 0x00FF0000);
        put32(58, 0x0000FF00);
        put32(62, 0x000000FF);
    }
    // 1 bit has two colours: the quadrants alternate.
    auto index = [&](int x, int y) {
        return (x * 2 / width + 2 * (y * 2 / height)) % (bits == 1 ? 2 : 4);
    };
    for (int i = 0; i < colours && i < 4; ++i) {
        const qint64 at = 14 + infoSize + i * 4;
        b[at] = static_cast<char>(qBlue(kQuadrants[i]));
        b[at + 1] = static_cast<char>(qGreen(kQuadrants[i]));
        b[at + 2] = static_cast<char>(qRed(kQuadrants[i]));
    }
    const char* previous = nullptr;
    for (int y = 0; y < height; ++y) {
        char* row = b.data() + offBits + rowBytes * (topDown ? y : height - 1 - y);
        if (previous != nullptr && y * 2 / height == (y - 1) * 2 / height) {
            memcpy(row, previous, static_cast<std::size_t>(rowBytes));  // same half: same row
            previous = row;
            continue;
        }
        previous = row;
        for (int x = 0; x < width; ++x) {
            const int i = index(x, y);
            const QRgb c = kQuadrants[i];
            switch (bits) {
                case 1:
                    row[x / 8] = static_cast<char>(row[x / 8] | (i << (7 - x % 8)));
                    break;
                case 4:
                    row[x / 2] = static_cast<char>(row[x / 2] | (i << (x % 2 ? 0 : 4)));
                    break;
                case 8:
                    row[x] = static_cast<char>(i);
                    break;
                case 16:
                    qToLittleEndian(static_cast<quint16>((qRed(c) >> 3) << 10 |
                                                         (qGreen(c) >> 3) << 5 | qBlue(c) >> 3),
                                    row + x * 2);
                    break;
                case 24:
                    row[x * 3] = static_cast<char>(qBlue(c));
                    row[x * 3 + 1] = static_cast<char>(qGreen(c));
                    row[x * 3 + 2] = static_cast<char>(qRed(c));
                    break;
                case 32:
                    qToLittleEndian(static_cast<quint32>(c & 0xFFFFFF), row + x * 4);
                    break;
            }
        }
    }
    return b;
}

/// The colour a quadrant should show, as the depth can store it.
QRgb stored(int quadrant, int bits) {
    const QRgb c = kQuadrants[bits == 1 ? quadrant % 2 : quadrant];
    if (bits != 16) return c;
    auto five = [](int v) { return (v >> 3) * 255 / 31; };
    return qRgb(five(qRed(c)), five(qGreen(c)), five(qBlue(c)));
}

class BigPicturesTest : public ::testing::Test {
protected:
    std::string put(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(writeBytes(m_dir.filePath(name), bytes));
        return "C:\\" + name.toStdString();
    }
    static void expectQuadrants(const QImage& image, int bits) {
        ASSERT_EQ(image.size(), QSize(40, 30));
        const QPoint centres[4] = {{10, 7}, {30, 7}, {10, 22}, {30, 22}};
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(image.pixel(centres[q]), stored(q, bits)) << "quadrant " << q;
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = testsupport::driveOn(m_dir.path());
    platform::QtPictureLoader m_loader{m_drives};
};

TEST_F(BigPicturesTest, BmpOfEveryDepthReadsStraightToTheBoxSize) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        const auto path = put(QStringLiteral("Big%1.bmp").arg(bits), quadrantBmp(1502, 1500, bits));
        const auto streamed = platform::readBmpScaled(
            m_dir.filePath(QStringLiteral("Big%1.bmp").arg(bits)), QSize(40, 30));
        ASSERT_TRUE(streamed.has_value());
        expectQuadrants(*streamed, bits);
        // Through the loader, as the wallpaper box asks for it.
        const auto loaded = m_loader.load(path, QSize(40, 30));
        ASSERT_TRUE(loaded.has_value());
        expectQuadrants(*loaded, bits);
    }
}

TEST_F(BigPicturesTest, BmpBeyondQtsAllocationLimitPreviewsAndOneCutShortDoesNot) {
    // 12000 x 12000 is 576 MB decoded, far past the 128 MB Qt allows; as 1-bit it is 18 MB.
    const QByteArray huge = quadrantBmp(12000, 12000, 1);
    const auto path = put("Huge.bmp", huge);
    const auto loaded = m_loader.load(path, QSize(40, 30));
    ASSERT_TRUE(loaded.has_value());
    expectQuadrants(*loaded, 1);

    const auto cut = put("Cut.bmp", huge.left(huge.size() - 1500));
    EXPECT_FALSE(m_loader.load(cut, QSize(40, 30)).has_value());
    EXPECT_FALSE(platform::readBmpScaled(m_dir.filePath("Cut.bmp"), QSize(40, 30)).has_value());
}

TEST_F(BigPicturesTest, LatestPreviewWinsAndAFileThatCannotBeReadChangesNothing) {
    pages::PictureBox box(true);
    box.resize(40, 30);
    auto* preview = new pages::AsyncPreview(&box, m_loader);
    QSignalSpy settled(preview, &pages::AsyncPreview::settled);
    // Big enough to go to the worker.
    const auto first = put("First.bmp", encode(filled(800, 600, Qt::red), "bmp"));
    const auto second = put("Second.bmp", encode(filled(800, 600, Qt::blue), "bmp"));
    QByteArray broken = encode(filled(1200, 900, Qt::green), "bmp");
    const auto cut = put("Cut.bmp", broken.left(broken.size() / 2));
    const auto small = put("Small.bmp", encode(filled(8, 6, Qt::yellow), "bmp"));

    preview->show(first, box.size());
    preview->show(second, box.size());
    EXPECT_TRUE(preview->pending());
    ASSERT_TRUE(settled.wait(20000));
    EXPECT_FALSE(preview->pending());
    EXPECT_EQ(box.picture().pixel(20, 15), QColor(Qt::blue).rgb());

    // A small file shows at once; the big one asked for before it never replaces it, and the
    // latest, which cannot be read, leaves the box as it was.
    settled.clear();
    preview->show(first, box.size());
    preview->show(small, box.size());
    EXPECT_EQ(box.picture().pixel(20, 15), QColor(Qt::yellow).rgb());
    preview->show(cut, box.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->pending(); }, 20000));
    EXPECT_EQ(box.picture().pixel(20, 15), QColor(Qt::yellow).rgb());
}

TEST_F(BigPicturesTest, PointerPreviewFollowsAChangedFile) {
    fakes::ScriptedCommonDialog dialog;
    state::ThemeState theme;
    pages::MousePointersPage page(theme, dialog, m_loader);
    const QString name = QStringLiteral("Arrow.cur");
    theme.pointerPaths[4] = put(name, iconFile({filled(32, 32, Qt::red)}, 2));
    page.Command10_MouseMove(4);
    auto* box = page.findChild<pages::PictureBox*>("Image3");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->picture().pixel(5, 5), QColor(Qt::red).rgb());
    page.Command10_MouseMove(4);
    EXPECT_EQ(box->picture().pixel(5, 5), QColor(Qt::red).rgb());
    // The file is replaced by one of another size: the kept picture is out of date.
    put(name, iconFile({filled(48, 48, Qt::green)}, 2));
    page.Command10_MouseMove(4);
    EXPECT_EQ(box->picture().pixel(5, 5), QColor(Qt::green).rgb());
}

}  // namespace

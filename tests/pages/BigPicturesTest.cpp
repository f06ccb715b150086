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
#include "platform/qt/BmpStream.h"
#include "platform/qt/QtPictureLoader.h"
#include "support/TempDrive.h"
#include "support/TestData.h"

namespace {

class BigPicturesTest : public ::testing::Test {
protected:
    /// Puts a test file (unpacked when it is a .qz) on drive C: as `name`.
    std::string put(const QString& name, const QString& file) {
        const QByteArray bytes = testdata::bytes(file);
        EXPECT_TRUE(testdata::write(m_dir.filePath(name),
                                    file.endsWith(".qz") ? qUncompress(bytes) : bytes));
        return "C:\\" + name.toStdString();
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = testsupport::driveOn(m_dir.path());
    platform::QtPictureLoader m_loader{m_drives};
};

// The quadrant bitmaps (quadrants-<bits>.bmp.qz, 1502 x 1500, and a 12000 x 12000 1-bit one,
// 576 MB decoded, far past the 128 MB Qt allows) at the size of a 40 x 30 box. 1 bit holds
// the first two colours only; 16 bits keeps 5 bits of each channel.
TEST_F(BigPicturesTest, BmpOfEveryDepthReadsStraightToTheBoxSizeAndOneCutShortDoesNot) {
    const QRgb colours[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200),
                             qRgb(250, 250, 10)};
    auto five = [](QRgb c) {
        return qRgb(qRed(c) / 8 * 255 / 31, qGreen(c) / 8 * 255 / 31, qBlue(c) / 8 * 255 / 31);
    };
    for (const int bits : {1, 4, 8, 16, 24, 32, 0}) {
        const QString file = bits ? QString("quadrants-%1.bmp.qz").arg(bits) : "huge.bmp.qz";
        const auto path = put("Big.bmp", file);
        const auto streamed = platform::readBmpScaled(m_dir.filePath("Big.bmp"), QSize(40, 30));
        for (const auto& image : {streamed, m_loader.load(path, QSize(40, 30))}) {
            ASSERT_TRUE(image) << file.toStdString();
            ASSERT_EQ(image->size(), QSize(40, 30));
            const QPoint centres[4] = {{10, 7}, {30, 7}, {10, 22}, {30, 22}};
            for (int q = 0; q < 4; ++q) {
                const QRgb c = colours[bits < 2 ? q % 2 : q];
                EXPECT_EQ(image->pixel(centres[q]), bits == 16 ? five(c) : c)
                    << file.toStdString() << " quadrant " << q;
            }
        }
    }
    const QByteArray huge = qUncompress(testdata::bytes("huge.bmp.qz"));
    ASSERT_TRUE(testdata::write(m_dir.filePath("Cut.bmp"), huge.chopped(1500)));
    EXPECT_FALSE(m_loader.load("C:\\Cut.bmp", QSize(40, 30)));
    EXPECT_FALSE(platform::readBmpScaled(m_dir.filePath("Cut.bmp"), QSize(40, 30)));
}

TEST_F(BigPicturesTest, LatestPreviewWinsAndAFileThatCannotBeReadChangesNothing) {
    pages::PictureBox box(true);
    box.resize(40, 30);
    auto* preview = new pages::AsyncPreview(&box, m_loader);
    QSignalSpy settled(preview, &pages::AsyncPreview::settled);
    // Big enough to go to the worker (800 x 600), and small.
    const auto blue = put("Blue.bmp", "big-blue.bmp.qz");
    const auto green = put("Green.bmp", "big-green.bmp.qz");
    const auto small = put("Small.bmp", "red.bmp");
    const QByteArray whole = qUncompress(testdata::bytes("big-green.bmp.qz"));
    ASSERT_TRUE(testdata::write(m_dir.filePath("Cut.bmp"), whole.left(whole.size() / 2)));

    preview->show(blue, box.size());
    preview->show(green, box.size());
    EXPECT_TRUE(preview->pending());
    ASSERT_TRUE(settled.wait(20000));
    EXPECT_FALSE(preview->pending());
    EXPECT_EQ(box.picture().pixel(20, 15), qRgb(0, 255, 0));

    // A small file shows at once; the big one asked for before it never replaces it, and the
    // latest, which cannot be read, leaves the box as it was.
    preview->show(blue, box.size());
    preview->show(small, box.size());
    EXPECT_EQ(box.picture().pixel(20, 15), qRgb(255, 0, 0));
    preview->show("C:\\Cut.bmp", box.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview->pending(); }, 20000));
    EXPECT_EQ(box.picture().pixel(20, 15), qRgb(255, 0, 0));
}

TEST_F(BigPicturesTest, PointerPreviewFollowsAChangedFile) {
    fakes::ScriptedCommonDialog dialog;
    state::ThemeState theme;
    pages::MousePointersPage page(theme, dialog, m_loader);
    theme.pointerPaths[4] = put("Arrow.cur", "red.cur");
    auto* box = page.findChild<pages::PictureBox*>("Image3");
    ASSERT_NE(box, nullptr);
    for (int i = 0; i < 2; ++i) {
        page.Command10_MouseMove(4);
        EXPECT_EQ(box->picture().pixel(5, 5), qRgb(255, 0, 0));
    }
    // The file is replaced by one of another size: the kept picture is out of date.
    put("Arrow.cur", "lime48.cur");
    page.Command10_MouseMove(4);
    EXPECT_EQ(box->picture().pixel(5, 5), qRgb(0, 255, 0));
}

}  // namespace

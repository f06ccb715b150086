// SPDX-License-Identifier: MIT
// Animated cursors made by tests/data/make-data.sh from red, green and blue cursors: play
// order with and without a seq chunk, rates, files that lie or are cut short, frames that are
// not icons, and the pixels a cursor inverts.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/qt/QtPictureLoader.h"
#include "preview/PointerImages.h"
#include "support/TempDrive.h"
#include "support/TestData.h"

namespace {

// The colours the pointer shows, step by step, with each step's jiffies.
using Steps = std::vector<std::pair<QRgb, int>>;
const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 128, 0), B = qRgb(0, 0, 255);

class AniTest : public ::testing::Test {
protected:
    preview::PointerAnimation load(const QByteArray& bytes) {
        EXPECT_TRUE(testdata::write(m_dir.filePath("p.ani"), bytes));
        return preview::loadPointer("C:\\p.ani", m_loader);
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = testsupport::driveOn(m_dir.path());
    platform::QtPictureLoader m_loader{m_drives};
};

TEST_F(AniTest, FramesPlayInFileOrSeqOrderAtTheirRatesAndDamagedFilesShowWhatIsGood) {
    const QByteArray busy = testdata::bytes("busy.ani");
    // The second frame's chunk follows the header, the first frame and its own header.
    const qsizetype second = busy.indexOf("icon", busy.indexOf("icon") + 4);
    const std::pair<QByteArray, Steps> cases[] = {
        {testdata::bytes("ani-rate7.ani"), {{R, 7}, {G, 7}, {B, 7}}},
        {testdata::bytes("ani-rates.ani"), {{R, 5}, {G, 20}, {B, 40}}},
        {testdata::bytes("ani-seq.ani"), {{B, 3}, {R, 6}, {B, 9}, {G, 12}}},
        {testdata::bytes("ani-seq-rate4.ani"), {{G, 4}, {G, 4}, {R, 4}}},
        {busy.left(second + 30), {{R, 10}}},
        {busy.left(second), {{R, 10}}},
        {busy.left(40), {}},
        {busy.left(7), {}},
        {QByteArray("RIFF\x04\0\0\0ACON", 12), {}},
        {testdata::bytes("ani-huge-counts.ani"), {{R, 10}, {G, 10}, {B, 10}}},
        {testdata::bytes("ani-two-claimed.ani"), {{R, 10}, {G, 10}}},
        {testdata::bytes("ani-bad-seq.ani"), {{R, 10}, {B, 10}}},
        {testdata::bytes("ani-extreme-rates.ani"), {{R, 1}, {G, 3600}, {B, 30}}},
        {testdata::bytes("ani-not-icon.ani"), {{R, 10}, {B, 10}}},
        {testdata::bytes("ani-raw-frames.ani"), {}},
        {testdata::bytes("ani-riff-size.ani"), {{R, 10}, {G, 10}, {B, 10}}},
        {testdata::bytes("ani-list-size.ani"), {{R, 10}, {G, 10}, {B, 10}}},
        {testdata::bytes("ani-icon-size.ani"), {{R, 10}}},
        {testdata::bytes("ani-short-header.ani"), {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto animation = load(cases[i].first);
        Steps shown;
        for (const preview::AniStep& step : animation.steps)
            shown.emplace_back(animation.frames.at(std::size_t(step.frame)).image.pixel(16, 16),
                               step.jiffies);
        EXPECT_EQ(shown, cases[i].second) << "case " << i;
    }
}

TEST_F(AniTest, InvertedPixelsInvertWhatIsUnderThem) {
    // A static cursor whose left half inverts and right half is black, and the same image as
    // the only frame of an animated one.
    for (const char* file : {"invert.cur", "invert.ani"}) {
        const auto pointer = load(testdata::bytes(file));
        ASSERT_EQ(pointer.frames.size(), 1u) << file;
        QImage screen(32, 32, QImage::Format_RGB32);
        screen.fill(qRgb(10, 200, 30));
        preview::paintCursor(screen, QPoint(0, 0), pointer.frames[0]);
        EXPECT_EQ(screen.pixel(3, 5), qRgb(245, 55, 225)) << file;
        EXPECT_EQ(screen.pixel(28, 5), qRgb(0, 0, 0)) << file;
    }
}

}  // namespace

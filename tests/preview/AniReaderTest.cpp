// SPDX-License-Identifier: MIT
// Animated cursors: play order with and without a seq chunk, rates, files that lie or are cut
// short, frames that are not icons, and the pixels a cursor inverts.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "AniFiles.h"
#include "pages/TestPictures.h"
#include "platform/qt/QtPictureLoader.h"
#include "preview/PointerImages.h"
#include "support/TempDrive.h"

namespace {

using namespace anifiles;
using preview::AniStep;

const std::vector<QColor> kColours = {Qt::red, Qt::green, Qt::blue};

QByteArray frame(QColor colour) {
    return testpictures::iconFile({testpictures::filled(32, 32, colour)}, 2);
}

AniSpec threeFrames() {
    AniSpec spec;
    for (const QColor& c : kColours) spec.frames.push_back(frame(c));
    return spec;
}

class AniTest : public ::testing::Test {
protected:
    // The colours the pointer shows, step by step, with each step's jiffies.
    std::vector<std::pair<QRgb, int>> play(const QByteArray& bytes) {
        EXPECT_TRUE(testpictures::writeBytes(m_dir.filePath("p.ani"), bytes));
        const auto animation = preview::loadPointer("C:\\p.ani", m_loader);
        std::vector<std::pair<QRgb, int>> shown;
        for (const AniStep& step : animation.steps)
            shown.emplace_back(
                animation.frames.at(static_cast<std::size_t>(step.frame)).image.pixel(16, 16),
                step.jiffies);
        return shown;
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = testsupport::driveOn(m_dir.path());
    platform::QtPictureLoader m_loader{m_drives};
};

const QRgb R = QColor(Qt::red).rgba(), G = QColor(Qt::green).rgba(), B = QColor(Qt::blue).rgba();

TEST_F(AniTest, FramesPlayInFileOrderOrInSeqOrderAtTheirRates) {
    AniSpec plain = threeFrames();
    plain.defaultRate = 7;
    AniSpec rated = threeFrames();
    rated.rates = std::vector<quint32>{5, 20, 40};
    AniSpec sequenced = threeFrames();
    sequenced.sequence = std::vector<quint32>{2, 0, 2, 1};
    sequenced.rates = std::vector<quint32>{3, 6, 9, 12};
    AniSpec sequencedDefaultRate = threeFrames();
    sequencedDefaultRate.sequence = std::vector<quint32>{1, 1, 0};
    sequencedDefaultRate.defaultRate = 4;

    const std::vector<std::pair<AniSpec, std::vector<std::pair<QRgb, int>>>> cases = {
        {plain, {{R, 7}, {G, 7}, {B, 7}}},
        {rated, {{R, 5}, {G, 20}, {B, 40}}},
        {sequenced, {{B, 3}, {R, 6}, {B, 9}, {G, 12}}},
        {sequencedDefaultRate, {{G, 4}, {G, 4}, {R, 4}}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(play(aniFile(cases[i].first)), cases[i].second);
    }
}

TEST_F(AniTest, DamagedFilesShowWhatIsGoodOrNothing) {
    const QByteArray whole = aniFile(threeFrames());
    // The second frame's chunk starts after the header, the first frame and its own header.
    const qsizetype secondFrame = whole.indexOf("icon", whole.indexOf("icon") + 4);

    AniSpec lyingCounts = threeFrames();
    lyingCounts.headerFrames = 0x7FFFFFFF;
    lyingCounts.headerSteps = 0x7FFFFFFF;
    AniSpec fewerClaimed = threeFrames();
    fewerClaimed.headerFrames = 2;
    AniSpec badSequence = threeFrames();
    badSequence.sequence = std::vector<quint32>{0, 9, 0xFFFFFFFF, 2};
    AniSpec extremeRates = threeFrames();
    extremeRates.rates = std::vector<quint32>{0, 0xFFFFFFFF, 30};
    AniSpec notAnIcon = threeFrames();
    notAnIcon.frames[1] = QByteArray("BM not an icon at all");
    AniSpec rawFrames = threeFrames();
    rawFrames.iconFlag = false;

    QByteArray lyingRiffSize = whole;
    lyingRiffSize.replace(4, 4, le32(0xFFFFFFF0));
    QByteArray lyingListSize = whole;
    lyingListSize.replace(whole.indexOf("LIST") + 4, 4, le32(0xFFFFFFF0));
    QByteArray lyingFrameSize = whole;
    lyingFrameSize.replace(secondFrame + 4, 4, le32(0xFFFFFFF0));
    QByteArray shortHeader = whole;
    shortHeader.replace(whole.indexOf("anih") + 4, 4, le32(8));  // 8 bytes, then junk chunks

    const std::vector<std::pair<QByteArray, std::vector<std::pair<QRgb, int>>>> cases = {
        {whole.left(secondFrame + 30), {{R, 10}}},
        {whole.left(secondFrame), {{R, 10}}},
        {whole.left(40), {}},
        {whole.left(12), {}},
        {whole.left(7), {}},
        {QByteArray("RIFF\x04\0\0\0ACON", 12), {}},
        {aniFile(lyingCounts), {{R, 10}, {G, 10}, {B, 10}}},
        {aniFile(fewerClaimed), {{R, 10}, {G, 10}}},
        {aniFile(badSequence), {{R, 10}, {B, 10}}},
        {aniFile(extremeRates), {{R, 1}, {G, 3600}, {B, 30}}},
        {aniFile(notAnIcon), {{R, 10}, {B, 10}}},
        {aniFile(rawFrames), {}},
        {lyingRiffSize, {{R, 10}, {G, 10}, {B, 10}}},
        {lyingListSize, {{R, 10}, {G, 10}, {B, 10}}},
        {lyingFrameSize, {{R, 10}}},
        {shortHeader, {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(play(cases[i].first), cases[i].second);
    }
}

TEST_F(AniTest, InvertedPixelsInvertWhatIsUnderThem) {
    // A static cursor file and the same image as the only frame of an animated one.
    AniSpec oneFrame;
    oneFrame.frames = {invertingCursor()};
    for (const QByteArray& bytes : {invertingCursor(), aniFile(oneFrame)}) {
        ASSERT_TRUE(testpictures::writeBytes(m_dir.filePath("p.cur"), bytes));
        const auto pointer = preview::loadPointer("C:\\p.cur", m_loader);
        ASSERT_EQ(pointer.frames.size(), 1u);
        QImage screen(32, 32, QImage::Format_RGB32);
        screen.fill(qRgb(10, 200, 30));
        preview::paintCursor(screen, QPoint(0, 0), pointer.frames[0]);
        EXPECT_EQ(screen.pixel(3, 5), qRgb(245, 55, 225));
        EXPECT_EQ(screen.pixel(28, 5), qRgb(0, 0, 0));
    }
}

}  // namespace

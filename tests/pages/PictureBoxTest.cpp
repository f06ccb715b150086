// SPDX-License-Identifier: MIT
// The picture box tells a click from a double-click: QWidget alone would report a
// double-click as a second press.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "pages/PictureBox.h"

namespace {

TEST(PictureBoxTest, ClickAndDoubleClickAreReportedApart) {
    pages::PictureBox box(true);
    box.resize(80, 70);
    box.show();
    QSignalSpy clicks(&box, &pages::PictureBox::clicked);
    QSignalSpy doubles(&box, &pages::PictureBox::doubleClicked);
    QTest::mouseClick(&box, Qt::LeftButton);
    QTest::mouseDClick(&box, Qt::LeftButton);
    // A real double-click: press, release, double-click, release. One click, one double.
    QTest::mousePress(&box, Qt::LeftButton);
    QTest::mouseRelease(&box, Qt::LeftButton);
    QTest::mouseDClick(&box, Qt::LeftButton);
    QTest::mouseRelease(&box, Qt::LeftButton);
    // Right button and a release outside the box are no clicks.
    QTest::mouseClick(&box, Qt::RightButton);
    QTest::mousePress(&box, Qt::LeftButton);
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(doubles.count(), 2);
}

TEST(PictureBoxTest, StretchingBoxDecodesAtItsOwnSizeOtherBoxesTakeThePicturesSize) {
    pages::PictureBox stretching(true);
    stretching.resize(80, 70);
    EXPECT_EQ(stretching.decodeSize(), QSize(78, 68));  // inside the one-pixel border
    pages::PictureBox plain(false);
    plain.resize(57, 49);
    EXPECT_FALSE(plain.decodeSize().isValid());
    QImage picture(32, 32, QImage::Format_ARGB32);
    plain.showPicture(picture);
    EXPECT_EQ(plain.size(), QSize(34, 34));
    plain.showPicture(QImage());
    EXPECT_TRUE(plain.picture().isNull());
}

}  // namespace

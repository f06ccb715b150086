// SPDX-License-Identifier: MIT
// What every page shares: the pick, and the picture box telling a click from a double-click
// (QWidget alone would report a double-click as a second press).
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "fakes/ScriptedCommonDialog.h"
#include "pages/PickFile.h"
#include "pages/PictureBox.h"

namespace {

// Every page's pick goes through pickFile: an answer that would break a theme or batch line
// ends as a cancel, so no slot ever holds it.
TEST(PickFile, AnswersThatWouldBreakALineEndAsACancel) {
    fakes::ScriptedCommonDialog dialog;
    dialog.openAnswers = {"C:\\a\" & del *.* & \"b.sys", "C:\\two\r\nlines.ico",
                          "C:\\Art\\Sky.ico"};
    std::string slot = "C:\\Old.ico";
    EXPECT_FALSE(pages::pickTestThenStore(dialog, "Icons", "*.ico", slot));
    EXPECT_FALSE(pages::pickTestThenStore(dialog, "Icons", "*.ico", slot));
    EXPECT_EQ(slot, "C:\\Old.ico");
    EXPECT_EQ(pages::pickFile(dialog, "Icons", "*.ico"), "C:\\Art\\Sky.ico");
}

TEST(PictureBoxTest, TellsAClickFromADoubleClickAndDecodesAtItsOwnSizeOnlyWhenStretching) {
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

    // A stretching box decodes at its own size, inside its one-pixel border; any other box takes
    // the picture's size (the window's tests check the size it then takes).
    EXPECT_EQ(box.decodeSize(), QSize(78, 68));
    pages::PictureBox plain(false);
    plain.resize(57, 49);
    EXPECT_FALSE(plain.decodeSize().isValid());
}

}  // namespace

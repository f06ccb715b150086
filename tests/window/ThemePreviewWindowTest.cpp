// SPDX-License-Identifier: MIT
// The theme preview window: it follows the theme on refresh, names and reports the element
// under the mouse, and plays animated pointers.
#include <QToolTip>
#include <map>
#include <set>

#include "support/TempDrive.h"
#include "window/Form1Fixture.h"
#include "window/ThemePreviewWindow.h"

namespace {

using window::ThemePreviewWindow;

class ThemePreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }
    QWidget* area() { return m_window.findChild<QWidget*>("preview"); }

    // C: is tests/data, read only.
    platform::DriveMap m_drives = testsupport::driveOn(QStringLiteral(SKINSMITH_DATA_DIR));
    platform::QtPictureLoader m_loader{m_drives};
    state::ThemeState m_theme;
    ThemePreviewWindow m_window{m_theme, m_loader};
};

TEST_F(ThemePreviewWindowTest, RefreshRepaintsAfterEachKindOfChange) {
    EXPECT_EQ(m_window.windowTitle(), "Theme Preview");
    EXPECT_FALSE(m_window.isModal());
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"colour", [&] { m_theme.colors[3] = state::rgb(0, 128, 128); }},
        {"wallpaper pick", [&] { m_theme.wallpaperPath = "C:\\red.bmp"; }},
        {"tile flag", [&] { m_theme.tileWallpaper = true; }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        const QImage before = area()->grab().toImage();
        change();
        EXPECT_EQ(area()->grab().toImage(), before) << "drawn again only on refresh";
        m_window.refresh();
        // A wallpaper arrives from the decoding worker.
        EXPECT_TRUE(QTest::qWaitFor([&] { return area()->grab().toImage() != before; }));
    }
}

using PreviewPictureTest = testsupport::TempDriveTest;
TEST_F(PreviewPictureTest, ABitmapPastQtsAllocationLimitShowsItsMiddle) {
    // 12000 x 12000 at one bit (576 MB decoded, far past Qt's 128 MB). The preview shows its
    // middle 800 x 600: the left half in its first colour, the right half in its second.
    platform::QtPictureLoader loader{m_drives};
    state::ThemeState theme;
    ThemePreviewWindow window{theme, loader};
    window.show();
    theme.wallpaperPath = put("Huge.bmp", qUncompress(testdata::bytes("huge.bmp.qz")));
    window.refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.pictureCache().pending(); }, 20000));
    const QImage shown = window.findChild<QWidget*>("preview")->grab().toImage();
    EXPECT_EQ(shown.pixel(2, shown.height() - 3), qRgb(200, 30, 30));
    EXPECT_EQ(shown.pixel(shown.width() - 3, shown.height() - 3), qRgb(30, 200, 30));
}

TEST_F(ThemePreviewWindowTest, PointingNamesTheElementAndClickingReportsIt) {
    QSignalSpy clicked(&m_window, &ThemePreviewWindow::elementClicked);
    // For each element, a point of the preview where it is drawn topmost. (0, 0) is left
    // out: Qt Test takes a null point for the widget's centre.
    std::map<int, QPoint> points;
    for (int y = 0; y < area()->height(); ++y)
        for (int x = y == 0 ? 1 : 0; x < area()->width(); ++x)
            points.emplace(m_window.elementAt({x, y}), QPoint(x, y));
    for (int element = 0; element < static_cast<int>(state::kColorCount); ++element) {
        const QString name =
            QString::fromUtf8(state::kColorNames[static_cast<std::size_t>(element)].data());
        SCOPED_TRACE(name.toStdString());
        const auto point = points.find(element);
        ASSERT_NE(point, points.end());
        QHelpEvent help(QEvent::ToolTip, point->second, area()->mapToGlobal(point->second));
        QApplication::sendEvent(area(), &help);
        EXPECT_EQ(QToolTip::text(), name);
        QTest::mouseClick(area(), Qt::LeftButton, {}, point->second);
        ASSERT_EQ(clicked.size(), element + 1);
        EXPECT_EQ(clicked.back().at(0).toInt(), element);
    }
}

TEST_F(ThemePreviewWindowTest, AnimatedPointersPlayTheirSteps) {
    // Three frames, a sixth of a second each.
    m_theme.pointerPaths[1] = "C:\\busy.ani";
    m_window.refresh();
    auto* strip = m_window.findChild<window::PointerStrip*>("pointers");
    ASSERT_NE(strip, nullptr);
    const QRect desktop = m_window.findChild<QWidget*>("previewScroll")->geometry();
    EXPECT_GT(strip->y(), desktop.bottom()) << "the pointers stand below the preview";
    EXPECT_EQ(desktop, QRect(0, 0, m_window.width(), desktop.height()));
    // Each step is shown until it loops from the last back to the first.
    std::set<int> seen;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const int step = strip->currentStep(1);
            seen.insert(step);
            return step == 0 && seen.count(2);
        },
        5000));
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2})) << "three frames";
    EXPECT_EQ(strip->currentStep(0), 0) << "an empty slot does not play";
}

// The window can fit the screen at QT_SCALE_FACTOR=2 on 1280 x 1024 (640 x 512 in logical
// pixels; the desktop scrolls) and opens beside its owner, on the side with room.
TEST_F(ThemePreviewWindowTest, FitsTheScreenAndOpensBesideItsOwner) {
    EXPECT_TRUE(QRect(0, 0, 640, 512).contains(QRect(QPoint(), m_window.minimumSizeHint())));
    const QRect free = m_window.screen()->availableGeometry();
    QWidget owner;  // at the right edge: the preview goes to its left
    owner.setGeometry(free.right() - 149, free.top() + 50, 150, 300);
    owner.show();
    m_window.placeBeside(owner);
    EXPECT_TRUE(free.contains(m_window.frameGeometry()) &&
                !m_window.frameGeometry().intersects(owner.frameGeometry()));
}

}  // namespace

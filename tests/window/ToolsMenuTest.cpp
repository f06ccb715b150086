// SPDX-License-Identifier: MIT
// Tools > Check for Windows 98: the list of findings, choosing one, and converting.
#include <QImage>
#include <QTreeWidget>

#include "Form1Fixture.h"
#include "window/CheckWindow.h"

namespace {

using form1test::dropOn;

class ToolsMenuTest : public form1test::Form1Test {};

TEST_F(ToolsMenuTest, ChecksShowsTheSlotAndConvertsIntoTheThemeFolder) {
    // Modern pictures, written by Qt's own writers, dropped on their slots.
    QImage picture(64, 64, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 16; y < 48; ++y)
        for (int x = 16; x < 48; ++x) picture.setPixel(x, y, qRgb(200, 30, 30));
    ASSERT_TRUE(picture.save(m_home.filePath("star.png"), "PNG"));
    ASSERT_TRUE(picture.save(m_home.filePath("wall.png"), "PNG"));
    const QByteArray original = testdata::contents(m_home.filePath("wall.png"));
    showPage(0);
    ASSERT_TRUE(dropOn(control("Image1"), {url("C:\\star.png")}));
    showPage(1);
    ASSERT_TRUE(dropOn(control("Image2"), {url("C:\\wall.png")}));
    showPage(7);

    QTest::keyClick(m_form.get(), Qt::Key_F7);
    auto* check = m_form->findChild<window::CheckWindow*>("CheckWindow");
    ASSERT_TRUE(check && check->isVisible());
    QTreeWidget* list = check->list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Desktop icons");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Wallpaper");
    QTreeWidgetItem* wallpaper = list->topLevelItem(1)->child(0);
    EXPECT_EQ(wallpaper->text(1), "wall.png");
    EXPECT_EQ(wallpaper->text(4), "will not show");

    // Choosing the finding shows its page with the slot focused: the user's own choice.
    list->setCurrentItem(wallpaper);
    emit list->itemActivated(wallpaper, 0);
    EXPECT_EQ(m_form->tabs()->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), control("Image2"));

    // Converting needs the theme's name: it writes into the theme's folder.
    QTest::mouseClick(check->findChild<QPushButton*>("ConvertAll"), Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find("Give the theme a name"), std::string::npos);
    control<QLineEdit>("Text2")->setText("Modern");

    QSignalSpy replaced(m_form.get(), &window::Form1::themeReplaced);
    QTest::mouseClick(check->findChild<QPushButton*>("ConvertAll"), Qt::LeftButton);
    ASSERT_TRUE(replaced.wait(60000));
    EXPECT_EQ(m_messages.shown.size(), 1u) << m_messages.shown.back().text;
    EXPECT_EQ(theme().iconPaths[0], "C:\\skinvault\\Modern\\star.ico");
    EXPECT_EQ(theme().wallpaperPath, "C:\\skinvault\\Modern\\wall.bmp");
    EXPECT_TRUE(QFile::exists(m_home.filePath("skinvault/Modern/star.ico")));
    EXPECT_EQ(testdata::contents(m_home.filePath("wall.png")), original) << "source untouched";
    // The open list follows: nothing is left that will not show.
    for (const auto& f : check->findings())
        EXPECT_NE(f.severity, compat::Severity::WillNotShow) << f.problem;
}

// Create asks first when a file will not show on Windows 98: Cancel writes nothing, "Create
// as it is" creates as before, "Convert" converts, then creates with the converted copy.
TEST_F(ToolsMenuTest, CreateAsksBeforeWritingAndConvertsWhenTold) {
    QImage wall(40, 30, QImage::Format_RGB32);
    wall.fill(Qt::darkCyan);
    ASSERT_TRUE(wall.save(m_home.filePath("wall.png"), "PNG"));
    showPage(1);
    ASSERT_TRUE(dropOn(control("Image2"), {url("C:\\wall.png")}));
    control<QLineEdit>("Text2")->setText("Asked");
    const QString folder = m_home.filePath("skinvault/Asked/");

    m_messages.answers = {platform::MessageResult::Cancel};
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    const auto& question = m_messages.shown[0];
    EXPECT_EQ(question.buttons, platform::MessageButtons::OkOtherCancel);
    EXPECT_EQ(question.okText, "Convert");
    EXPECT_EQ(question.otherText, "Create as it is");
    EXPECT_NE(question.text.find("Wallpaper: wall.png is a PNG file"), std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(folder)) << "nothing written before the answer";

    m_messages.answers = {platform::MessageResult::Other};
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    EXPECT_EQ(m_messages.shown.at(2).title, "Done!");
    EXPECT_TRUE(QFileInfo::exists(folder + "wall.png"));
    EXPECT_TRUE(testdata::contents(folder + "Asked.theme").contains("%ThemeDir%wall.png"));

    m_messages.shown.clear();
    m_messages.answers = {platform::MessageResult::Ok};
    QSignalSpy replaced(m_form.get(), &window::Form1::themeReplaced);
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    ASSERT_TRUE(replaced.wait(60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[1].title, "Done!");
    EXPECT_TRUE(testdata::contents(folder + "Asked.theme").contains("%ThemeDir%wall.bmp"));
    EXPECT_EQ(QImage(folder + "wall.bmp").pixel(3, 3), QColor(Qt::darkCyan).rgb());
}

}  // namespace

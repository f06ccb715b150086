// SPDX-License-Identifier: MIT
// The pointer, sound, screen saver and splash logo pages in the real window, driven by
// mouse events on their named controls.
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

class AssetPagesTest : public Form1Test {
protected:
    void hover(const char* button) {
        QWidget* w = control(button);
        QTest::mouseMove(w, w->rect().center() + QPoint(m_nudge++ % 3, 0));
    }
    // What the page sends the wave player for one preview, in this order.
    std::vector<std::string> previewOf(const std::string& path) {
        return {"command=close", "device=WaveAudio", "file=" + path, "command=open",
                "command=play"};
    }
    int m_nudge = 0;
};

TEST_F(AssetPagesTest, HoverPreviewsStaticCursorsAndClearsForAnimatedOnes) {
    showPage(2);
    auto* image3 = control<PictureBox>("Image3");
    auto* text4 = control<QLineEdit>("Text4");
    const std::string spot = putData("Spot.cur", "spot.cur");
    const std::string ani = putData("Spin.ani", "busy.ani");
    const std::string upper = putData("Walk.ANI", "busy.ani");
    m_dialog.openAnswers = {spot, ani, upper};
    for (const char* button : {"Command10_0", "Command10_1", "Command10_2"})
        QTest::mouseClick(control(button), Qt::LeftButton);
    EXPECT_TRUE(image3->picture().isNull()) << "a pick shows nothing";

    hover("Command10_0");
    EXPECT_EQ(text4->text().toStdString(), spot);
    ASSERT_EQ(image3->picture().size(), QSize(32, 32)) << "a cursor shows at its own size";
    EXPECT_EQ(image3->picture().pixelColor(16, 16), QColor(Qt::red));
    EXPECT_EQ(image3->picture().pixelColor(1, 1).alpha(), 0) << "transparent parts stay so";
    EXPECT_EQ(image3->size(),
              QSize(32, 32) + 2 * QSize(image3->frameWidth(), image3->frameWidth()));

    hover("Command10_11");  // empty: the last preview stays
    EXPECT_EQ(text4->text().toStdString(), spot);
    EXPECT_FALSE(image3->picture().isNull());

    // ".ANI" is not the animated marker: it is loaded as a picture, fails, and the box keeps
    // the cursor while the path box shows the new path.
    hover("Command10_2");
    EXPECT_EQ(text4->text().toStdString(), upper);
    EXPECT_EQ(image3->picture().pixelColor(16, 16), QColor(Qt::red));

    hover("Command10_1");
    EXPECT_EQ(text4->text().toStdString(), ani);
    EXPECT_TRUE(image3->picture().isNull());

    // The file is read again on every motion: a changed file shows its new picture.
    hover("Command10_0");
    putData("Spot.cur", "green.cur");
    hover("Command10_0");
    EXPECT_EQ(image3->picture().pixelColor(16, 16), QColor(0, 128, 0));  // X11 green
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(AssetPagesTest, RightPressPlaysInOrderAndTheTransportReplaysTheOpenWave) {
    showPage(3);
    auto* play = control<QAbstractButton>("MMControl1Play");
    auto* stop = control<QAbstractButton>("MMControl1Stop");
    EXPECT_FALSE(play->isEnabled() || stop->isEnabled()) << "nothing open to replay";
    // Qt reports a fast second press as a double-click: it is a second pick all the same.
    const std::string chord = put("Chord.wav", "RIFF");
    m_dialog.openAnswers = {std::nullopt, chord};
    QTest::mousePress(control("Command11_2"), Qt::LeftButton);
    QTest::mouseDClick(control("Command11_2"), Qt::LeftButton);
    EXPECT_EQ(theme().soundPaths[2], chord);
    EXPECT_TRUE(m_player.calls.empty()) << "a pick never plays";
    EXPECT_FALSE(control<QPushButton>("Command11_2")->isDown()) << "no button stuck down";

    control("Command11_2")->setFocus();
    QTest::keyClick(control("Command11_2"), Qt::Key_Menu);  // the keyboard's right press
    EXPECT_EQ(m_player.calls, previewOf(chord));
    m_player.calls.clear();
    QTest::mousePress(control("Command11_2"), Qt::RightButton);
    EXPECT_EQ(m_player.calls, previewOf(chord));
    QTest::mousePress(control("Command11_2"), Qt::MiddleButton);
    QTest::mousePress(control("Command11_7"),
                      Qt::RightButton);  // empty slot: nothing, the sound plays on
    EXPECT_EQ(m_player.calls, previewOf(chord));
    EXPECT_EQ(m_dialog.opens.size(), 2u);

    ASSERT_TRUE(play->isEnabled() && stop->isEnabled());
    m_player.calls.clear();
    QTest::mouseClick(stop, Qt::LeftButton);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(m_player.calls, (std::vector<std::string>{"command=stop", "command=play"}));

    // Every step runs although each fails, and a wave that did not open leaves nothing to
    // replay.
    m_player.calls.clear();
    m_player.commandsSucceed = false;
    QTest::mousePress(control("Command11_2"), Qt::RightButton);
    EXPECT_EQ(m_player.calls, previewOf(chord));
    EXPECT_FALSE(play->isEnabled() || stop->isEnabled());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(AssetPagesTest, ScreenSaverRunsTheChosenFileWithItsArgumentApart) {
    showPage(5);
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    EXPECT_TRUE(m_launcher.starts.empty()) << "nothing chosen yet";

    const std::string saver = "C:\\Savers\\Blue Lines.scr";
    m_dialog.openAnswers = {saver};
    QTest::mouseClick(control("Command4"), Qt::LeftButton);
    EXPECT_EQ(control<QLineEdit>("Text1")->text().toStdString(), saver);
    m_launcher.succeeds = false;  // a file deleted since: silent
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    ASSERT_EQ(m_launcher.starts.size(), 2u);
    EXPECT_EQ(m_launcher.starts[0].program, saver);
    EXPECT_EQ(m_launcher.starts[0].arguments, std::vector<std::string>{"/s"});
    EXPECT_EQ(m_launcher.starts[1].program, saver);
    EXPECT_TRUE(m_launcher.starts[1].arguments.empty());
    EXPECT_TRUE(m_messages.shown.empty());

    // A Windows screen saver without Wine: both buttons say how to install it.
    m_launcher.wineMissing = true;
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].title, "Wine is not installed");
    EXPECT_EQ(m_messages.shown[0].text,
              "This screen saver is a Windows program, and Wine, which runs them here, is not "
              "installed. Install it with:\n    sudo apt install wine\n(32-bit screen savers also "
              "need wine32, from Debian's i386 architecture.)");

    // Typing into the box changes nothing that runs.
    QTest::keyClicks(control("Text1"), "X");
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    EXPECT_EQ(m_launcher.starts.back().program, saver);
    EXPECT_EQ(theme().screenSaverPath, saver);
}

TEST_F(AssetPagesTest, LogoPreviewShowsWhatTheBoxNamesAndRefusesBadFiles) {
    auto* image7 = control<PictureBox>("Image7");
    // Empty boxes: a click does nothing at all.
    for (const char* box : {"Text3_0", "Text3_1", "Text3_2"})
        QTest::mouseClick(control(box), Qt::LeftButton);
    EXPECT_TRUE(m_messages.shown.empty());

    const QByteArray red = testdata::bytes("red.bmp");
    m_dialog.openAnswers = {put("Wait.sys", red)};
    QTest::mouseClick(control("Command8"), Qt::LeftButton);
    EXPECT_TRUE(image7->picture().isNull()) << "the pick alone previews nothing";
    QTest::mouseClick(control("Text3_1"), Qt::LeftButton);
    ASSERT_FALSE(image7->picture().isNull());
    EXPECT_EQ(image7->picture().size(), image7->contentsRect().size()) << "stretched to the box";
    EXPECT_EQ(image7->picture().pixelColor(3, 3), QColor(Qt::red));
    const QImage preview = image7->picture();

    // Files that are no valid logo: the message, and nothing else changes.
    const std::string text = put("Readme.sys", "not a picture");
    const std::string cut = put("Cut.sys", red.left(red.size() / 2));
    m_dialog.openAnswers = {text, cut, put("Gone.sys", red)};
    for (const char* button : {"Command7", "Command9", "Command8"})
        QTest::mouseClick(control(button), Qt::LeftButton);
    QFile::remove(m_home.filePath("Gone.sys"));
    for (const char* box : {"Text3_0", "Text3_2", "Text3_1"}) {
        m_messages.shown.clear();
        QTest::mouseClick(control(box), Qt::LeftButton);
        ASSERT_EQ(m_messages.shown.size(), 1u) << box;
        EXPECT_EQ(m_messages.shown[0].text, "Not valid logo file");
        EXPECT_EQ(m_messages.shown[0].title, "Error");
        EXPECT_EQ(m_messages.shown[0].icon, platform::MessageIcon::Stop);
        EXPECT_EQ(m_messages.shown[0].buttons, platform::MessageButtons::Ok);
        EXPECT_EQ(image7->picture(), preview) << box;
    }
    EXPECT_EQ(theme().logoPaths[0], text) << "the failed preview leaves the choice";
    EXPECT_EQ(theme().logoPaths[2], cut);

    // Backspace empties the slot, the box and the preview it shows; Enter previews too.
    QTest::keyClick(control("Text3_1"), Qt::Key_Backspace);
    EXPECT_EQ(theme().logoPaths[1], "");
    EXPECT_TRUE(control<QLineEdit>("Text3_1")->text().isEmpty());
    EXPECT_TRUE(image7->picture().isNull());
    m_dialog.openAnswers = {put("Boot.sys", red)};
    QTest::mouseClick(control("Command7"), Qt::LeftButton);
    m_messages.shown.clear();
    QTest::keyClick(control("Text3_0"), Qt::Key_Return);
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(image7->picture(), preview);
}

}  // namespace

// SPDX-License-Identifier: MIT
// The pointer, sound, screen saver and splash logo pages in the real window, driven by
// mouse events on their named controls.
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;
using fakes::RecordingWavePlayer;

class AssetPagesTest : public Form1Test {
protected:
    std::string cursor(const QString& name, QColor colour) {
        QImage image = testpictures::filled(32, 32, Qt::transparent);
        for (int y = 8; y < 24; ++y)
            for (int x = 8; x < 24; ++x) image.setPixelColor(x, y, colour);
        return put(name, testpictures::iconFile({image}, 2));
    }
    void hover(const char* button) {
        QWidget* w = control(button);
        QTest::mouseMove(w, w->rect().center() + QPoint(m_nudge++ % 3, 0));
    }
    void press(const char* button, Qt::MouseButton which) {
        QTest::mousePress(control(button), which);
    }
    std::vector<std::string> previewOf(const std::string& path) {
        return {"command=close", "device=WaveAudio", "file=" + path, "command=open",
                "command=play"};
    }
    int m_nudge = 0;
};

TEST_F(AssetPagesTest, PointerPickKeepsAnEarlierChoiceOnCancel) {
    showPage(2);
    const std::string arrow = cursor("Arrow.cur", Qt::red);
    m_dialog.openAnswers = {arrow};
    QTest::mouseClick(control("Command10_5"), Qt::LeftButton);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].filter, "Pointers(*.ani;*.cur)|*.cur;*.ani");
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.ani;*.cur");
    EXPECT_EQ(theme().pointerPaths[5], arrow);
    EXPECT_TRUE(control<PictureBox>("Image3")->picture().isNull()) << "a pick shows nothing";
    EXPECT_TRUE(control<QLineEdit>("Text4")->text().isEmpty());

    m_dialog.openAnswers = {std::nullopt, std::string()};
    QTest::mouseClick(control("Command10_5"), Qt::LeftButton);
    QTest::mouseClick(control("Command10_5"), Qt::LeftButton);
    EXPECT_EQ(theme().pointerPaths[5], arrow) << "cancel and an empty answer keep the choice";
    state::ThemeState expected;
    expected.pointerPaths[5] = arrow;
    EXPECT_EQ(theme(), expected);
}

TEST_F(AssetPagesTest, HoverPreviewsStaticCursorsAndClearsForAnimatedOnes) {
    showPage(2);
    auto* image3 = control<PictureBox>("Image3");
    auto* text4 = control<QLineEdit>("Text4");
    const std::string red = cursor("Red.cur", Qt::red);
    const std::string ani = put("Spin.ani", "RIFF\x10\0\0\0ACONanih");
    const std::string upper = put("Walk.ANI", "RIFF\x10\0\0\0ACONanih");
    m_dialog.openAnswers = {red, ani, upper};
    QTest::mouseClick(control("Command10_0"), Qt::LeftButton);
    QTest::mouseClick(control("Command10_1"), Qt::LeftButton);
    QTest::mouseClick(control("Command10_2"), Qt::LeftButton);

    // An empty slot changes nothing, not even at start.
    hover("Command10_11");
    EXPECT_TRUE(image3->picture().isNull());
    EXPECT_TRUE(text4->text().isEmpty());

    hover("Command10_0");
    EXPECT_EQ(text4->text().toStdString(), red);
    ASSERT_EQ(image3->picture().size(), QSize(32, 32)) << "a cursor shows at its own size";
    EXPECT_EQ(image3->picture().pixelColor(16, 16), QColor(Qt::red));
    EXPECT_EQ(image3->picture().pixelColor(1, 1).alpha(), 0) << "transparent parts stay so";
    EXPECT_EQ(image3->size(),
              QSize(32, 32) + 2 * QSize(image3->frameWidth(), image3->frameWidth()));

    hover("Command10_11");  // empty: the last preview stays
    EXPECT_EQ(text4->text().toStdString(), red);
    EXPECT_FALSE(image3->picture().isNull());

    // ".ANI" is not the animated marker: it is loaded as a picture, fails, and the box keeps
    // the red cursor while the path box shows the new path.
    hover("Command10_2");
    EXPECT_EQ(text4->text().toStdString(), upper);
    EXPECT_EQ(image3->picture().pixelColor(16, 16), QColor(Qt::red));

    hover("Command10_1");
    EXPECT_EQ(text4->text().toStdString(), ani);
    EXPECT_TRUE(image3->picture().isNull());

    // The file is read again on every motion: a changed file shows its new picture.
    hover("Command10_0");
    cursor("Red.cur", Qt::green);
    hover("Command10_0");
    EXPECT_EQ(image3->picture().pixelColor(16, 16), QColor(Qt::green));
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(AssetPagesTest, LeftPressPicksRightPressPlaysMiddlePressDoesNothing) {
    showPage(3);
    const std::string chord = put("Chord.wav", "RIFF");
    m_dialog.openAnswers = {chord};
    press("Command11_2", Qt::LeftButton);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].filter, "Wave files|*.wav");
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.wav");
    EXPECT_EQ(theme().soundPaths[2], chord);
    EXPECT_TRUE(m_player.calls.empty()) << "a pick never plays";
    EXPECT_FALSE(control<QPushButton>("Command11_2")->isDown()) << "no button stuck down";

    press("Command11_2", Qt::RightButton);
    EXPECT_EQ(m_player.calls, previewOf(chord));

    press("Command11_2", Qt::MiddleButton);
    press("Command11_7", Qt::RightButton);  // empty slot: nothing, the sound plays on
    QTest::mouseClick(control("Command11_2"), Qt::LeftButton, {}, QPoint(2, 2));  // one more pick
    EXPECT_EQ(m_player.calls, previewOf(chord));
    EXPECT_EQ(m_dialog.opens.size(), 2u);

    // That pick was cancelled: the slot keeps its file. A right press still runs every step
    // when each fails.
    EXPECT_EQ(theme().soundPaths[2], chord);
    m_player.calls.clear();
    m_player.commandsSucceed = false;
    press("Command11_2", Qt::RightButton);
    EXPECT_EQ(m_player.calls, previewOf(chord)) << "every step runs although each fails";
    EXPECT_TRUE(m_messages.shown.empty());

    state::ThemeState expected;
    expected.soundPaths[2] = chord;
    EXPECT_EQ(theme(), expected);
}

TEST_F(AssetPagesTest, ScreenSaverRunsTheChosenFileWithItsArgumentApart) {
    showPage(5);
    auto* text1 = control<QLineEdit>("Text1");
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    EXPECT_TRUE(m_launcher.starts.empty()) << "nothing chosen yet";

    const std::string saver = "C:\\Savers\\Blue Lines.scr";
    m_dialog.openAnswers = {saver};
    QTest::mouseClick(control("Command4"), Qt::LeftButton);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].filter, "Screen Savers");
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.scr");
    EXPECT_EQ(theme().screenSaverPath, saver);
    EXPECT_EQ(text1->text().toStdString(), saver);

    m_launcher.succeeds = false;  // a file deleted since: silent
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    ASSERT_EQ(m_launcher.starts.size(), 2u);
    EXPECT_EQ(m_launcher.starts[0].program, saver);
    EXPECT_EQ(m_launcher.starts[0].arguments, std::vector<std::string>{"/s"});
    EXPECT_EQ(m_launcher.starts[1].program, saver);
    EXPECT_TRUE(m_launcher.starts[1].arguments.empty());
    EXPECT_EQ(theme().screenSaverPath, saver);
    EXPECT_TRUE(m_messages.shown.empty());

    // Typing into the box changes nothing that runs.
    QTest::keyClicks(text1, "X");
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    EXPECT_EQ(m_launcher.starts.back().program, saver);

    // Cancel changes nothing; Delete on "Select . . ." empties the slot and the box.
    m_dialog.openAnswers = {std::nullopt};
    QTest::mouseClick(control("Command4"), Qt::LeftButton);
    EXPECT_EQ(theme().screenSaverPath, saver);
    EXPECT_EQ(m_dialog.opens.back().initDir, "C:\\Savers\\");
    QTest::keyClick(control("Command4"), Qt::Key_Delete);
    EXPECT_EQ(theme().screenSaverPath, "");
    EXPECT_TRUE(text1->text().isEmpty());
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    EXPECT_EQ(m_launcher.starts.size(), 3u);
}

TEST_F(AssetPagesTest, LogoPreviewShowsWhatTheBoxNamesAndRefusesBadFiles) {
    auto* image7 = control<PictureBox>("Image7");
    auto* text3_1 = control<QLineEdit>("Text3_1");

    // Empty boxes: a click does nothing at all.
    for (const char* box : {"Text3_0", "Text3_1", "Text3_2"})
        QTest::mouseClick(control(box), Qt::LeftButton);
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(image7->picture().isNull());

    const QByteArray blue = testpictures::encode(testpictures::filled(320, 400, Qt::blue), "bmp");
    const std::string wait = put("Wait.sys", blue);
    m_dialog.openAnswers = {wait};
    QTest::mouseClick(control("Command8"), Qt::LeftButton);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].filter, "Logo files");
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.sys");
    EXPECT_EQ(theme().logoPaths[1], wait);
    EXPECT_EQ(text3_1->text().toStdString(), wait);
    EXPECT_TRUE(image7->picture().isNull()) << "the pick alone previews nothing";

    QTest::mouseClick(text3_1, Qt::LeftButton);
    ASSERT_FALSE(image7->picture().isNull());
    EXPECT_EQ(image7->picture().size(), image7->contentsRect().size()) << "stretched to the box";
    EXPECT_EQ(image7->picture().pixelColor(3, 3), QColor(Qt::blue));
    const QImage bluePreview = image7->picture();

    // Files that are no valid logo: the message, and nothing else changes.
    const std::string text = put("Readme.sys", "not a picture");
    const std::string cut = put("Cut.sys", blue.left(blue.size() - 4000));
    const std::string gone = put("Gone.sys", blue);
    m_dialog.openAnswers = {text, cut, gone};
    QTest::mouseClick(control("Command7"), Qt::LeftButton);
    QTest::mouseClick(control("Command9"), Qt::LeftButton);
    QTest::mouseClick(control("Command8"), Qt::LeftButton);
    QFile::remove(m_home.filePath("Gone.sys"));
    for (const char* box : {"Text3_0", "Text3_2", "Text3_1"}) {
        m_messages.shown.clear();
        QTest::mouseClick(control(box), Qt::LeftButton);
        ASSERT_EQ(m_messages.shown.size(), 1u) << box;
        EXPECT_EQ(m_messages.shown[0].text, "Not valid logo file");
        EXPECT_EQ(m_messages.shown[0].title, "Error");
        EXPECT_EQ(m_messages.shown[0].icon, platform::MessageIcon::Stop);
        EXPECT_EQ(m_messages.shown[0].buttons, platform::MessageButtons::Ok);
        EXPECT_EQ(image7->picture(), bluePreview) << box;
    }
    EXPECT_EQ(theme().logoPaths[0], text) << "the failed preview leaves the choice";
    EXPECT_EQ(theme().logoPaths[2], cut);

    // Cancel after a choice changes nothing; Enter on the box previews it, Delete empties the
    // slot, the box and the preview it shows.
    const std::string red =
        put("Boot.sys", testpictures::encode(testpictures::filled(64, 64, Qt::red), "bmp"));
    m_dialog.openAnswers = {red, std::nullopt};
    QTest::mouseClick(control("Command7"), Qt::LeftButton);
    QTest::mouseClick(control("Command7"), Qt::LeftButton);
    EXPECT_EQ(theme().logoPaths[0], red);
    EXPECT_EQ(control<QLineEdit>("Text3_0")->text().toStdString(), red);
    m_messages.shown.clear();
    QTest::keyClick(control("Text3_0"), Qt::Key_Return);
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(image7->picture().pixelColor(3, 3), QColor(Qt::red));
    QTest::keyClick(control("Text3_0"), Qt::Key_Backspace);
    EXPECT_EQ(theme().logoPaths[0], "");
    EXPECT_TRUE(control<QLineEdit>("Text3_0")->text().isEmpty());
    EXPECT_TRUE(image7->picture().isNull());
}

TEST_F(AssetPagesTest, AFastSecondPressPicksAgainAndTheTransportReplaysTheOpenWave) {
    showPage(3);
    auto* play = control<QAbstractButton>("MMControl1Play");
    auto* stop = control<QAbstractButton>("MMControl1Stop");
    EXPECT_FALSE(play->isEnabled());
    EXPECT_FALSE(stop->isEnabled());

    // Qt reports a fast second press as a double-click: it is a second pick all the same.
    const std::string ding = put("Ding.wav", "RIFF");
    m_dialog.openAnswers = {std::nullopt, ding};
    QTest::mousePress(control("Command11_9"), Qt::LeftButton);
    QTest::mouseDClick(control("Command11_9"), Qt::LeftButton);
    EXPECT_EQ(m_dialog.opens.size(), 2u);
    EXPECT_EQ(theme().soundPaths[9], ding);

    press("Command11_9", Qt::RightButton);
    ASSERT_TRUE(play->isEnabled());
    ASSERT_TRUE(stop->isEnabled());
    m_player.calls.clear();
    QTest::mouseClick(stop, Qt::LeftButton);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_EQ(m_player.calls, (std::vector<std::string>{"command=stop", "command=play"}));

    // A preview whose wave does not open leaves nothing to replay.
    m_player.commandsSucceed = false;
    press("Command11_9", Qt::RightButton);
    EXPECT_FALSE(play->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
}

}  // namespace

// SPDX-License-Identifier: MIT
// Form1 as the user meets it: the real window with scripted dialogs and message boxes, the
// real picture loader and file system on a temporary C: drive, driven by Qt Test events.
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

TEST_F(Form1Test, StartsWithDefaultsThemeInfoInFrontAndTheFirstColourShown) {
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Skinsmith for Microsoft Plus! "));
    EXPECT_EQ(m_form->client()->size(), QSize(pages::pixels(8715), pages::pixels(5325)));
    // The icon arrives right after the first frame.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_form->windowIcon().isNull(); }));
    const QList<QSize> iconSizes = m_form->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
    const QImage icon = m_form->windowIcon().pixmap(32, 32).toImage();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) colours.insert(icon.pixel(x, y));
    EXPECT_GT(colours.size(), 2) << "a drawn icon, not a blank";
    EXPECT_LE(colours.size(), 17) << "16 colours and transparency at most";

    EXPECT_EQ(theme(), state::ThemeState{});
    EXPECT_EQ(m_form->tabs()->currentIndex(), 7);
    EXPECT_EQ(m_form->tabs()->caption(7), QStringLiteral("Theme Info"));
    EXPECT_TRUE(control<QLineEdit>("Text2")->isVisible());
    EXPECT_TRUE(control<QLineEdit>("Text2")->text().isEmpty());
    EXPECT_EQ(control<QListWidget>("List1")->currentRow(), 0);
    EXPECT_EQ(control<QListWidget>("List1")->count(), 25);
    EXPECT_EQ(swatch(), QColor(104, 120, 104));
    EXPECT_FALSE(control<QCheckBox>("Check1")->isChecked());
    for (const char* box : {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7"})
        EXPECT_TRUE(control<PictureBox>(box)->picture().isNull()) << box;
    for (const char* path : {"Text1", "Text4", "Text3_0", "Text3_1", "Text3_2"})
        EXPECT_TRUE(control<QLineEdit>(path)->text().isEmpty()) << path;
    // Start-up opens no dialog, shows no message and plays nothing.
    EXPECT_TRUE(m_dialog.opens.empty());
    EXPECT_TRUE(m_dialog.colorColorsShown.empty());
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(m_player.calls.empty());
}

TEST_F(Form1Test, TabsStandInTwoRowsOfFourAndOnlyTheUserChangesPages) {
    auto* tabs = m_form->tabs();
    ASSERT_EQ(tabs->count(), 8);
    for (int i = 0; i < 8; ++i) {
        // Indices 0-3 share one row, 4-7 the other.
        EXPECT_EQ(tabs->tabRect(i).top(), tabs->tabRect(i / 4 * 4).top()) << i;
    }
    EXPECT_NE(tabs->tabRect(0).top(), tabs->tabRect(4).top());

    showPage(0);
    EXPECT_TRUE(control("Image1")->isVisible());
    EXPECT_FALSE(control("Text2")->isVisible());
    showPage(4);
    EXPECT_TRUE(control("List1")->isVisible());

    // Ctrl+Tab and Ctrl+Shift+Tab from inside a page and from the buttons below, wrapping.
    QTest::keyClick(control("List1"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 5);
    showPage(7);
    QTest::keyClick(control("Text2"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    QTest::keyClick(control("Command1"), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 7);
    // Arrow keys on the focused strip.
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Left);
    EXPECT_EQ(tabs->currentIndex(), 6);
    // Handlers never switch pages: a pick on page 0 leaves page 0 in front.
    showPage(0);
    m_dialog.openAnswers = {std::nullopt};
    QTest::mouseDClick(control("Image1"), Qt::LeftButton);
    EXPECT_EQ(tabs->currentIndex(), 0);
}

struct IconCase {
    const char* box;
    std::size_t slot;
    bool doubleClick;
};
void PrintTo(const IconCase& c, std::ostream* os) {
    *os << c.box;
}

class IconSlotTest : public Form1Test, public ::testing::WithParamInterface<IconCase> {
protected:
    void gesture(QWidget* box, bool doubleClick) {
        if (doubleClick)
            QTest::mouseDClick(box, Qt::LeftButton);
        else
            QTest::mouseClick(box, Qt::LeftButton);
    }
};

TEST_P(IconSlotTest, PicksThroughItsGestureOnlyAndKeepsTheBoxOnCancelOrFailure) {
    const IconCase c = GetParam();
    showPage(0);
    auto* box = control<PictureBox>(c.box);
    const std::string& slot = theme().iconPaths[c.slot];

    // The other gesture opens nothing.
    gesture(box, !c.doubleClick);
    EXPECT_TRUE(m_dialog.opens.empty());
    EXPECT_EQ(slot, "");

    const std::string sky =
        put("Sky.ico", testpictures::iconFile({testpictures::filled(32, 32, Qt::blue)}));
    m_dialog.openAnswers = {sky};
    gesture(box, c.doubleClick);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].filter, "Icon files");
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.ico");
    EXPECT_EQ(slot, sky);
    ASSERT_FALSE(box->picture().isNull());
    EXPECT_EQ(box->picture().pixelColor(5, 5), QColor(Qt::blue));
    const QImage shown = box->picture();

    // Cancel, an empty answer, or a refused file (the dialog answers as a cancel): nothing
    // changes, and the next dialog opens in the icon's folder.
    for (const auto& answer : {std::optional<std::string>(), std::optional<std::string>("")}) {
        m_dialog.openAnswers = {answer};
        gesture(box, c.doubleClick);
        EXPECT_EQ(slot, sky);
        EXPECT_EQ(box->picture(), shown);
    }
    EXPECT_EQ(m_dialog.opens.back().initDir, "C:\\");

    // A name that differs from the pattern only in case is a choice; it loads nothing.
    m_dialog.openAnswers = {std::string("*.ICO")};
    gesture(box, c.doubleClick);
    EXPECT_EQ(slot, "*.ICO");
    EXPECT_EQ(box->picture(), shown);

    // A file that is no picture is stored and leaves the box as it was.
    const std::string notes = put("notes.ico", "this is not an icon");
    m_dialog.openAnswers = {notes};
    gesture(box, c.doubleClick);
    EXPECT_EQ(slot, notes);
    EXPECT_EQ(box->picture(), shown);

    // Only this slot moved.
    for (std::size_t other = 0; other < state::kIconCount; ++other)
        if (other != c.slot) {
            EXPECT_EQ(theme().iconPaths[other], "") << other;
        }
    EXPECT_TRUE(m_messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(EachIcon, IconSlotTest,
                         ::testing::Values(IconCase{"Image1", 0, true}, IconCase{"Image5", 1, true},
                                           IconCase{"Image4", 2, true},
                                           IconCase{"Image6", 3, false}),
                         [](const auto& info) { return std::string(info.param.box); });

TEST_F(Form1Test, WallpaperPicksOnDoubleClickAndPreviewsAtTheBoxSize) {
    showPage(1);
    auto* image2 = control<PictureBox>("Image2");
    QTest::mouseClick(image2, Qt::LeftButton);
    EXPECT_TRUE(m_dialog.opens.empty());

    const std::string photo =
        put("Photo.jpg", testpictures::encode(testpictures::pattern(1200, 900), "jpeg"));
    m_dialog.openAnswers = {photo};
    QTest::mouseDClick(image2, Qt::LeftButton);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].filter, "Jpeg files|*.jpg|Windows bitmaps|*.bmp");
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.jpg");
    EXPECT_EQ(theme().wallpaperPath, photo);
    EXPECT_EQ(image2->picture().size(), image2->contentsRect().size());
    const QImage shown = image2->picture();

    m_dialog.openAnswers = {std::nullopt};
    QTest::mouseDClick(image2, Qt::LeftButton);
    EXPECT_EQ(theme().wallpaperPath, photo) << "a cancel changes nothing";
    EXPECT_EQ(image2->picture(), shown);

    // A JPEG cut short is stored but not shown with garbage rows.
    const QByteArray whole = testpictures::encode(testpictures::pattern(800, 600), "jpeg");
    const std::string cut = put("Cut.jpg", whole.left(whole.size() / 2));
    m_dialog.openAnswers = {cut};
    QTest::mouseDClick(image2, Qt::LeftButton);
    EXPECT_EQ(theme().wallpaperPath, cut);
    EXPECT_EQ(image2->picture(), shown);
}

TEST_F(Form1Test, TileFlagFollowsTheLastClick) {
    showPage(1);
    auto* check1 = control<QCheckBox>("Check1");
    QTest::mouseClick(check1, Qt::LeftButton);
    EXPECT_TRUE(theme().tileWallpaper);
    QTest::mouseClick(check1, Qt::LeftButton);
    EXPECT_FALSE(theme().tileWallpaper);
    check1->setFocus();
    QTest::keyClick(check1, Qt::Key_Space);
    EXPECT_TRUE(theme().tileWallpaper);
    EXPECT_TRUE(m_dialog.opens.empty());
}

TEST_F(Form1Test, ColourListShowsEachElementAndNeverWritesIt) {
    showPage(4);
    auto* list = control<QListWidget>("List1");
    auto clickRow = [&](int row) {
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_EQ(list->currentRow(), row);
    };
    clickRow(3);
    EXPECT_EQ(list->item(3)->text(), QStringLiteral("Background"));
    EXPECT_EQ(swatch(), qcolor(state::kDefaultColors[3]));
    clickRow(11);
    EXPECT_EQ(swatch(), qcolor(state::kDefaultColors[11]));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(swatch(), qcolor(state::kDefaultColors[12]));
    clickRow(3);
    EXPECT_EQ(swatch(), qcolor(state::kDefaultColors[3]));
    EXPECT_EQ(theme(), state::ThemeState{});
}

TEST_F(Form1Test, ChangeColourOpensAtTheElementsColourAndACancelChangesNothing) {
    showPage(4);
    auto* list = control<QListWidget>("List1");
    auto* change = control("Command12");
    QSignalSpy changes(m_form->findChild<pages::Page*>("ThemeColorsPage"), &pages::Page::changed);

    list->setCurrentRow(2);
    m_dialog.colorAnswers = {std::nullopt};
    QTest::mouseClick(change, Qt::LeftButton);
    EXPECT_EQ(m_dialog.colorColorsShown.back(), state::kDefaultColors[2]);
    EXPECT_EQ(theme(), state::ThemeState{}) << "the first cancel does not turn it black";
    EXPECT_EQ(changes.count(), 0);

    // Confirming red for "Menu" stores 255 and paints both swatches at once.
    list->setCurrentRow(18);
    m_dialog.colorAnswers = {state::rgb(255, 0, 0)};
    QTest::mouseClick(change, Qt::LeftButton);
    EXPECT_EQ(theme().colors[18], 255u);
    EXPECT_EQ(swatch(), QColor(255, 0, 0));
    EXPECT_EQ(list->item(18)->icon().pixmap(8, 8).toImage().pixelColor(4, 4), QColor(255, 0, 0));
    EXPECT_EQ(control("Picture1")->accessibleDescription(), "Red 255, green 0, blue 0");
    EXPECT_EQ(changes.count(), 1);

    // Another element opens at its own colour, and its cancel leaves it so.
    list->setCurrentRow(24);
    m_dialog.colorAnswers = {std::nullopt};
    QTest::mouseClick(change, Qt::LeftButton);
    EXPECT_EQ(m_dialog.colorColorsShown.back(), state::kDefaultColors[24]);

    // Ctrl+click on the selected entry leaves it selected: Change color always has one.
    const QRect row = list->visualItemRect(list->item(24));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());
    EXPECT_EQ(list->selectedItems().size(), 1);

    state::ThemeState expected;
    expected.colors[18] = 255;
    EXPECT_EQ(theme(), expected);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(Form1Test, ThemeNameIsTheBoxTextAsTypedAndAboutEditsChangeNothing) {
    auto* name = control<QLineEdit>("Text2");
    QTest::keyClicks(name, "abc");
    EXPECT_EQ(theme().themeName, "abc");
    for (int i = 0; i < 3; ++i) QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(theme().themeName, "");
    QTest::keyClicks(name, "  Autumn Leaves ");
    EXPECT_EQ(theme().themeName, "  Autumn Leaves ");

    const state::ThemeState before = theme();
    showPage(6);
    auto* about = control<QPlainTextEdit>("Text5");
    QTest::keyClicks(about, "anything at all");
    about->clear();
    EXPECT_EQ(theme(), before);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(Form1Test, ExitAsksAndEndsOnlyOnOk) {
    QSignalSpy exits(m_form.get(), &window::Form1::exitRequested);
    QTest::keyClicks(control("Text2"), "Kept");
    m_messages.answers = {MessageResult::Cancel};
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    const platform::Message& question = m_messages.shown[0];
    EXPECT_EQ(question.text,
              "Are you sure you want to exit? Perhaps you accidentally clicked on exit.");
    EXPECT_EQ(question.title, "Exit Theme Creator");
    EXPECT_EQ(question.buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(question.icon, platform::MessageIcon::None);
    EXPECT_EQ(question.defaultButton, MessageResult::Ok);
    EXPECT_EQ(exits.count(), 0);
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(theme().themeName, "Kept");

    m_messages.answers = {MessageResult::Ok};
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_FALSE(m_form->isVisible());
    // Nothing was written.
    EXPECT_FALSE(QDir(m_home.filePath("skinvault")).exists());
}

TEST_F(Form1Test, CloseBoxEndsWithoutAQuestion) {
    EXPECT_TRUE(m_form->close());
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(Form1Test, CreateThemeRefusesAnEmptyNameAndWritesTheFolderForARealOne) {
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    EXPECT_EQ(m_messages.shown.size(), 1u);
    EXPECT_FALSE(QDir(m_home.filePath("skinvault")).exists());

    // Pick an icon and a colour, name the theme, create it.
    showPage(0);
    const std::string sky =
        put("Sky.ico", testpictures::iconFile({testpictures::filled(32, 32, Qt::red)}));
    m_dialog.openAnswers = {sky};
    QTest::mouseDClick(control("Image1"), Qt::LeftButton);
    showPage(7);
    QTest::keyClicks(control("Text2"), "Autumn");
    m_messages.shown.clear();
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    EXPECT_FALSE(m_messages.shown.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));

    QFile themeFile(m_home.filePath("skinvault/Autumn/Autumn.theme"));
    ASSERT_TRUE(themeFile.open(QIODevice::ReadOnly));
    const QByteArray text = themeFile.readAll();
    EXPECT_TRUE(text.contains("%ThemeDir%Sky.ico")) << text.constData();
    EXPECT_TRUE(QFile::exists(m_home.filePath("skinvault/Autumn/Sky.ico")));
    // Creating leaves the state as it was, so it can run again.
    EXPECT_EQ(theme().iconPaths[0], sky);
    EXPECT_EQ(theme().themeName, "Autumn");
}

}  // namespace

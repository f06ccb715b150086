// SPDX-License-Identifier: MIT
// The Colors menu in the real window: presets by mouse and keyboard, colours imported from a
// theme, a readable scheme from each of 20 wallpapers, and the contrast check with its fixes.
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>

#include "schemes/Contrast.h"
#include "schemes/Schemes.h"
#include "window/ColorsMenu.h"
#include "window/ContrastDialog.h"
#include "window/Form1Fixture.h"
#include "window/ThemePreviewWindow.h"

namespace {

using namespace form1test;

class ColorsMenuTest : public Form1Test {
protected:
    void trigger(const char* action) { control<QAction>(action)->trigger(); }
    void expectReadable() {
        for (const auto& pair : schemes::kReadablePairs)
            EXPECT_GE(
                schemes::contrastRatio(theme().colors[pair.text], theme().colors[pair.background]),
                pair.minimum)
                << state::kColorNames[pair.text] << " on " << state::kColorNames[pair.background];
    }
    QColor listSwatch(int row) {
        const QIcon icon = control<QListWidget>("List1")->item(row)->icon();
        return icon.pixmap(icon.availableSizes().front()).toImage().pixelColor(4, 4);
    }
    window::ColorsMenu* menu() { return m_form->findChild<window::ColorsMenu*>(); }
};

TEST_F(ColorsMenuTest, PresetsByMouseAndKeyboardAreOneChangeThatKeepsSelectionAndPage) {
    QTest::keyClick(control("Text2"), Qt::Key_F5);
    QWidget* area = m_form->preview()->findChild<QWidget*>(QStringLiteral("preview"));
    ASSERT_NE(area, nullptr);
    showPage(4);
    control<QListWidget>("List1")->setCurrentRow(7);
    showPage(2);
    m_form->activateWindow();
    QSignalSpy changes(m_form.get(), &window::Form1::themeChanged);
    auto* bar = m_form->findChild<QMenuBar*>();
    auto* colors = control<QMenu>("mnuColors");
    auto* presets = control<QMenu>("mnuColorsPresets");
    const QImage before = area->grab().toImage();

    // The keyboard: Alt+C, P for the presets, down to Rainy Day (the tenth), Enter.
    QTest::keyClick(m_form.get(), Qt::Key_C, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return colors->isVisible(); }));
    QTest::keyClick(colors, Qt::Key_P);
    ASSERT_TRUE(QTest::qWaitFor([&] { return presets->isVisible(); }));
    for (int i = 0; i < 9; ++i) QTest::keyClick(presets, Qt::Key_Down);
    QTest::keyClick(presets, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !colors->isVisible(); }));
    const auto rainy = schemes::colorsOf(schemes::kSchemeTable[9]);
    EXPECT_EQ(theme().colors, rainy);
    // Rainy Day's Windows 98 colours, as its registry record gives them.
    EXPECT_EQ(state::keptColor(theme().keptKeys, "GradientActiveTitle"), state::rgb(128, 180, 208));
    EXPECT_EQ(state::keptColor(theme().keptKeys, "GradientInactiveTitle"),
              state::rgb(176, 188, 208));
    EXPECT_EQ(changes.count(), 1) << "a whole scheme is one change";
    EXPECT_NE(area->grab().toImage(), before) << "the preview follows at once";
    EXPECT_EQ(m_form->tabs()->currentIndex(), 2) << "the page in front stays";
    EXPECT_EQ(control<QListWidget>("List1")->currentRow(), 7) << "the selection stays";
    EXPECT_EQ(swatch(), qcolor(rainy[7]));
    EXPECT_EQ(listSwatch(3), qcolor(rainy[3]));

    // The mouse: the bar's Colors, then Scheme Presets, then Storm (VGA).
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(colors->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return colors->isVisible(); }));
    QTest::mouseClick(colors, Qt::LeftButton, {},
                      colors->actionGeometry(presets->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return presets->isVisible(); }));
    QAction* storm = control<QAction>("mnuColorsPreset14");
    EXPECT_EQ(storm->text(), "&Storm (VGA)");
    QTest::mouseClick(presets, Qt::LeftButton, {}, presets->actionGeometry(storm).center());
    const auto stormColors = schemes::colorsOf(schemes::kSchemeTable[14]);
    EXPECT_EQ(theme().colors, stormColors);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(listSwatch(1), qcolor(stormColors[1]));

    // One undo takes the whole scheme back, and the menu names it.
    QAction* undo = control<QAction>("mnuEditUndo");
    EXPECT_EQ(undo->text(), "&Undo Scheme Storm (VGA)");
    undo->trigger();
    EXPECT_EQ(theme().colors, rainy);
    EXPECT_EQ(state::keptColor(theme().keptKeys, "HotTrackingColor"), state::rgb(79, 101, 125));
    EXPECT_EQ(control<QListWidget>("List1")->currentRow(), 7);
    control<QAction>("mnuEditRedo")->trigger();

    // The colour dialog offers the scheme's colours as its custom colours, each once.
    showPage(4);
    QTest::mouseClick(control("Command12"), Qt::LeftButton);
    ASSERT_EQ(m_dialog.customColorsShown.size(), 1u);
    const auto offered = m_dialog.customColorsShown[0];
    for (const state::Color c : stormColors)
        EXPECT_EQ(std::count(offered.begin(), offered.end(), c), 1) << c;
    EXPECT_LE(offered.size(), 16u);
}

TEST_F(ColorsMenuTest, ImportTakesOnlyTheColoursATheme) {
    const auto start = theme();
    const std::string some =
        put("Some.theme",
            "[Control Panel\\Colors]\r\nHilight=1 2 3\r\nInfoWindow=4 5 6\r\n"
            "Menu=300 0 0\r\n[Control Panel\\Desktop]\r\nWallpaper=C:\\x.bmp\r\n");
    m_dialog.openAnswers = {some};
    trigger("mnuColorsImport");
    EXPECT_EQ(m_dialog.opens.back().fileName, "*.theme;*.zip;*.lzh;*.lha;*.cab");
    auto expected = start;
    expected.colors[11] = state::rgb(1, 2, 3);
    expected.colors[17] = state::rgb(4, 5, 6);
    EXPECT_EQ(theme(), expected) << "two colours, nothing else: no wallpaper, no bad menu colour";
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find("Menu=300 0 0"), std::string::npos);

    // A theme with no colours, a file that is no theme and a cancel change nothing.
    m_dialog.openAnswers = {put("Plain.theme", "[boot]\r\nSCRNSAVE.EXE=\r\n"),
                            put("Notes.theme", "just words"), std::nullopt};
    for (int i = 0; i < 3; ++i) trigger("mnuColorsImport");
    EXPECT_EQ(theme(), expected);
    ASSERT_EQ(m_messages.shown.size(), 3u);
    EXPECT_NE(m_messages.shown[1].text.find("sets no colors"), std::string::npos);
    EXPECT_EQ(m_messages.shown[2].icon, platform::MessageIcon::Stop);

    // A pack: it is unpacked as File > Open does it, and the chosen theme's one colour is taken.
    const std::string zip = put("COOL98.ZIP", testdata::bytes("../input/data/COOL98.ZIP"));
    m_dialog.openAnswers = {zip, "C:\\skinvault\\Imported\\COOL98\\Cool (256 Color).theme"};
    trigger("mnuColorsImport");
    expected.colors[1] = state::rgb(0, 0, 255);
    EXPECT_EQ(theme(), expected);
}

TEST_F(ColorsMenuTest, EveryOneOfTwentyWallpapersGivesAReadableSchemeWithoutWaiting) {
    trigger("mnuColorsWallpaper");
    ASSERT_EQ(m_messages.shown.size(), 1u) << "no wallpaper chosen: the user hears so";
    QSignalSpy done(menu(), &window::ColorsMenu::wallpaperDone);
    QStringList seen;
    for (int n = 1; n <= 20; ++n) {
        const QString file = QStringLiteral("wall-%1.png").arg(n, 2, 10, QLatin1Char('0'));
        m_dialog.openAnswers = {putData(file, "wallpapers/" + file)};
        showPage(1);
        QTest::mouseDClick(control("Image2"), Qt::LeftButton);
        ASSERT_EQ(theme().wallpaperPath, "C:\\" + file.toStdString());
        const auto colorsBefore = theme().colors;
        trigger("mnuColorsWallpaper");
        ASSERT_TRUE(done.wait(10000)) << file.toStdString();
        EXPECT_NE(theme().colors, colorsBefore) << file.toStdString();
        expectReadable();
        seen << QString::fromStdString(std::to_string(theme().colors[1]));
    }
    EXPECT_EQ(m_messages.shown.size(), 1u);
    seen.removeDuplicates();
    EXPECT_GE(seen.size(), 12) << "the title bar follows the wallpaper";

    // A wallpaper that cannot be read changes nothing and says so.
    const auto kept = theme().colors;
    m_dialog.openAnswers = {put("Broken.jpg", "not a picture")};
    QTest::mouseDClick(control("Image2"), Qt::LeftButton);
    const std::size_t told = m_messages.shown.size();
    trigger("mnuColorsWallpaper");
    ASSERT_TRUE(done.wait(10000));
    EXPECT_EQ(theme().colors, kept);
    ASSERT_EQ(m_messages.shown.size(), told + 1);
    EXPECT_EQ(m_messages.shown.back().title, "Colors from Wallpaper");
}

TEST_F(ColorsMenuTest, CheckContrastListsPoorPairsAndAppliesTheCheckedFixes) {
    trigger("mnuColorsPreset17");
    trigger("mnuColorsContrast");
    ASSERT_EQ(m_messages.shown.size(), 1u) << "High Contrast Black reads everywhere";
    EXPECT_EQ(m_form->findChild<window::ContrastDialog*>(), nullptr);

    auto colors = theme().colors;
    colors[21] = state::rgb(90, 0, 90);   // Title text on the purple title bar
    colors[24] = state::rgb(30, 30, 30);  // Window text on black
    m_form->replaceColors(colors, QStringLiteral("Colors"));
    trigger("mnuColorsContrast");
    auto* dialog = m_form->findChild<window::ContrastDialog*>();
    ASSERT_NE(dialog, nullptr);
    auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ContrastProblems"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Window frame text on Window");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Title text on Active Title");
    list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);  // keep the dark window text
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ApplyFixes")),
                      Qt::LeftButton);
    EXPECT_EQ(theme().colors[24], state::rgb(30, 30, 30));
    EXPECT_GE(schemes::contrastRatio(theme().colors[21], theme().colors[1]), 4.5);
    colors[21] = theme().colors[21];
    EXPECT_EQ(theme().colors, colors) << "only the checked fix";
}

}  // namespace

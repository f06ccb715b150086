// SPDX-License-Identifier: MIT
// The menu bar and opening themes in the real window: a theme opened from the menu or dropped
// on the window shows on every page and can be created again; bad files change nothing.
#include <sys/stat.h>

#include <QMenuBar>

#include "window/Form1Fixture.h"
#include "window/ThemePreviewWindow.h"

namespace {

using namespace form1test;

class OpenThemeTest : public Form1Test {
protected:
    void trigger(const char* action) { control<QAction>(action)->trigger(); }
    void create() {
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    }
    /// A small pack as old discs hold them: upper-case names, a logo batch file.
    std::string writePack() {
        QDir(m_home.path()).mkpath(QStringLiteral("pack"));
        putData("pack/SKY.ICO", "blue.ico");
        putData("pack/LOGO.SYS", "red.bmp");
        put("pack/Blue.scr", "MZ");
        putData("pack/Arrow.cur", "red.cur");
        put("pack/Ding.wav", "RIFF");
        put("pack/Night.bat", "copy \"logo.sys\" c:\\logo.sys\r\n");
        put("pack/Night.theme",
            "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
            "DefaultValue=%ThemeDir%Sky.ico,0\r\n[Control Panel\\Colors]\r\n"
            "ActiveBorder=1 2 3\r\n[Control Panel\\Desktop]\r\nTileWallpaper=1\r\n"
            "[boot]\r\nSCRNSAVE.EXE=%WinDir%SYSTEM\\BLUE.SCR\r\n[Control Panel\\Cursors]\r\n"
            "Arrow=%ThemeDir%Arrow.cur\r\n"
            "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
            "DefaultValue=%ThemeDir%Ding.wav\r\n");
        return "C:\\pack\\Night.theme";
    }
};

TEST_F(OpenThemeTest, MenuBarStandsAboveTheClientAreaWithMnemonicsAndShortcuts) {
    auto* bar = m_form->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(m_form->client()->pos(), QPoint(0, bar->height()));
    EXPECT_EQ(m_form->size(), m_form->client()->size() + QSize(0, bar->height()));
    const QMap<QString, QString> shortcuts = {{"mnuFileNew", "Ctrl+N"},
                                              {"mnuFileOpen", "Ctrl+O"},
                                              {"mnuFileCreate", "Ctrl+S"},
                                              {"mnuFileExport", "Ctrl+E"}};
    for (QAction* action : m_form->findChildren<QAction*>()) {
        if (action->objectName().isEmpty()) continue;
        EXPECT_TRUE(action->text().contains(QLatin1Char('&'))) << action->text().toStdString();
        if (shortcuts.contains(action->objectName())) {
            EXPECT_EQ(action->shortcut(), QKeySequence(shortcuts[action->objectName()]));
        }
    }
    // Ctrl+S from a control deep in another page runs Create Theme.
    showPage(4);
    control("List1")->setFocus();
    QTest::keyClick(control("List1"), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].title, "Fatal error...") << "a theme needs a name";

    trigger("mnuHelpAbout");
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[1].text,
              "Skinsmith " SKINSMITH_VERSION
              "\n\nBuilds desktop themes for Windows 95/98 with Microsoft Plus!.\n\nCopyright (c) "
              "2026 The Skinsmith developers.\nReleased under the MIT licence.");
    EXPECT_EQ(m_messages.shown[1].icon, platform::MessageIcon::Application);
}

TEST_F(OpenThemeTest, OpenedThemeShowsOnEveryPageAndCreatesAgainUnderANewName) {
    const std::string path = writePack();
    m_dialog.openAnswers = {path};
    trigger("mnuFileOpen");
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.theme;*.zip;*.lzh;*.lha;*.cab");
    EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown[0].text;

    // The icon and the logo in the theme show in the copy created below.
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), QStringLiteral("Night"));
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
    EXPECT_FALSE(control<PictureBox>("Image1")->picture().isNull());
    for (const char* chosen : {"Image1", "Command4", "Command10_0", "Command11_0"})
        EXPECT_TRUE(control(chosen)->property("chosen").toBool()) << chosen;
    EXPECT_FALSE(control("Image4")->property("chosen").toBool());
    EXPECT_EQ(control<QLineEdit>("Text3_0")->text(), QStringLiteral("C:\\pack\\LOGO.SYS"));
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QStringLiteral("C:\\pack\\Blue.scr"));
    EXPECT_EQ(swatch(), QColor(1, 2, 3));

    // Change one slot and create it under another name.
    control<QLineEdit>("Text2")->setText(QStringLiteral("Night Copy"));
    QTest::mouseClick(control("Check1"), Qt::LeftButton);
    // The pack's files will not all show on Windows 98: create it as it is.
    m_messages.answers = {MessageResult::Other};
    create();
    QFile file(m_home.filePath(QStringLiteral("skinvault/Night Copy/Night Copy.theme")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("DefaultValue=%ThemeDir%SKY.ICO\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("TileWallpaper=0\r\n"));
    EXPECT_TRUE(QFile::exists(m_home.filePath(QStringLiteral("skinvault/Night Copy/LOGO.SYS"))));
}

TEST_F(OpenThemeTest, FilesThatAreNoThemeChangeNothing) {
    control<QLineEdit>("Text2")->setText(QStringLiteral("Mine"));
    const state::ThemeState before = theme();
    put("notes.theme", "no sections at all");
    put("binary.theme", QByteArray("[boot]\0\0", 8));
    ASSERT_EQ(mkfifo(m_home.filePath(QStringLiteral("pipe.theme")).toLocal8Bit().constData(), 0600),
              0);
    QDir(m_home.path()).mkdir(QStringLiteral("folder.theme"));
    for (const char* file : {"notes", "binary", "pipe", "folder", "missing"}) {
        m_messages.shown.clear();
        m_dialog.openAnswers = {"C:\\" + std::string(file) + ".theme"};
        m_messages.answers = {MessageResult::Ok};  // yes, replace the current theme
        trigger("mnuFileOpen");
        ASSERT_EQ(m_messages.shown.size(), 2u) << file;
        EXPECT_EQ(m_messages.shown[1].icon, platform::MessageIcon::Stop) << file;
        EXPECT_NE(m_messages.shown[1].text.find(file), std::string::npos) << file;
        EXPECT_EQ(theme(), before) << file;
    }
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), QStringLiteral("Mine"));
}

// New asks only when something would be lost: not at start, not after Create Theme.
TEST_F(OpenThemeTest, NewAsksOnlyBeforeLosingSomethingAndOpenFolderNeedsTheFolder) {
    trigger("mnuFileNew");
    EXPECT_TRUE(m_messages.shown.empty()) << "nothing to lose";
    control<QLineEdit>("Text2")->setText(QStringLiteral("Autumn"));
    auto* openFolder = control<QAction>("mnuFileOpenFolder");
    EXPECT_FALSE(openFolder->isEnabled());
    m_messages.answers = {MessageResult::Cancel};
    trigger("mnuFileNew");
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "The current theme's choices will be replaced. Go on?");
    EXPECT_EQ(theme().themeName, "Autumn");

    create();
    EXPECT_TRUE(openFolder->isEnabled());
    trigger("mnuFileOpenFolder");
    EXPECT_EQ(m_launcher.shownFolders, std::vector<std::string>{"C:\\skinvault\\Autumn"});
    // The folder is looked for again each time the menu opens.
    QDir(m_home.filePath("skinvault/Autumn")).removeRecursively();
    emit m_form->findChild<QMenu*>(QStringLiteral("mnuFile"))->aboutToShow();
    EXPECT_FALSE(openFolder->isEnabled());

    m_messages.shown.clear();
    trigger("mnuFileNew");  // everything is in the theme just created
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(theme(), state::ThemeState{});
    EXPECT_TRUE(control<QLineEdit>("Text2")->text().isEmpty());
}

// Create Theme replaces a theme of that name without asking only when this run opened or
// made it; otherwise it asks first, and Cancel (the default) writes nothing.
TEST_F(OpenThemeTest, CreateAsksBeforeReplacingAThemeThisRunDidNotOpenOrMake) {
    m_dialog.openAnswers = {writePack(), "C:\\skinvault\\Night\\Night.theme"};
    trigger("mnuFileOpen");  // the pack's Night, not the vault's
    QDir(m_home.path()).mkpath(QStringLiteral("skinvault/Night"));
    put("skinvault/Night/Night.theme", "[boot]\r\n");
    m_messages.answers = {MessageResult::Cancel};
    create();
    EXPECT_EQ(QDir(m_home.filePath("skinvault/Night")).entryList(QDir::Files),
              QStringList{"Night.theme"});
    EXPECT_EQ(testdata::contents(m_home.filePath("skinvault/Night/Night.theme")), "[boot]\r\n");
    // Yes, replace it; then the pack's files, which Windows 98 cannot all show, as they are.
    m_messages.answers = {MessageResult::Ok, MessageResult::Other};
    create();
    m_messages.answers = {MessageResult::Other};
    create();  // made by this run
    put("skinvault/Night/Night.theme", "[boot]\r\n");
    trigger("mnuFileOpen");                       // the vault's, opened by this run
    m_messages.answers = {MessageResult::Other};  // its batch file names the 64 x 64 logo
    create();
    std::vector<std::string> titles;
    for (const auto& message : m_messages.shown) titles.push_back(message.title);
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Create Theme", "Create Theme", "Create Theme", "Done!",
                                        "Create Theme", "Done!", "Create Theme", "Done!"}));
    EXPECT_EQ(m_messages.shown[0].text, "A theme named Night already exists. Replace it?");
    EXPECT_EQ(m_messages.shown[0].defaultButton, MessageResult::Cancel);
}

TEST_F(OpenThemeTest, PreviewFollowsThemesDroppedAndColoursAndAClickSelectsTheColour) {
    QTest::keyClick(control("Text2"), Qt::Key_F5);
    auto* preview = m_form->preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    QWidget* area = preview->findChild<QWidget*>(QStringLiteral("preview"));
    ASSERT_NE(area, nullptr);

    QImage shown = area->grab().toImage();
    // A theme file first in a drag of several onto a slot: the slot leaves the whole drag to
    // the window, which opens it.
    const std::string pack = writePack();
    showPage(0);
    EXPECT_TRUE(dropOn(control("Image1"), {url(pack), url(putData("Sky.ico", "red.ico"))}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return theme().themeName == "Night"; }));
    EXPECT_EQ(theme().iconPaths[0], "C:\\pack\\SKY.ICO");
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_NE(area->grab().toImage(), shown) << "an opened theme shows at once";

    // A colour changed on its page shows at once.
    shown = area->grab().toImage();
    showPage(4);
    control<QListWidget>("List1")->setCurrentRow(3);
    m_dialog.colorAnswers = {state::rgb(255, 0, 255)};
    QTest::mouseClick(control("Command12"), Qt::LeftButton);
    EXPECT_NE(area->grab().toImage(), shown) << "a changed colour shows at once";

    // A click on the menu bar's colour selects "Menu" in the list; the page in front stays.
    const int front = m_form->tabs()->currentIndex();
    emit preview->elementClicked(18);
    EXPECT_EQ(control<QListWidget>("List1")->currentRow(), 18);
    EXPECT_EQ(swatch(), qcolor(theme().colors[18]));
    EXPECT_EQ(m_form->tabs()->currentIndex(), front);
}

}  // namespace

namespace {

// A pack as shared in 1998, dropped on the window: unpacked into the import folder, the user
// picks one of its two themes, which opens with its Windows 98 colour kept and listed; a click
// on that colour in the preview edits it through the colour dialog.
TEST_F(OpenThemeTest, DroppedPackUnpacksAndTheChosenThemeOpens) {
    QDir(m_home.path()).mkpath(QStringLiteral("Downloads"));
    const std::string zip =
        put("Downloads/COOL98.ZIP", testdata::bytes("../input/data/COOL98.ZIP"));
    const std::string folder = "C:\\skinvault\\Imported\\COOL98\\";
    m_dialog.openAnswers = {folder + "Cool (High Color).theme"};
    EXPECT_TRUE(dropOn(m_form.get(), {url(zip)}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return theme().themeName == "Cool (High Color)"; }))
        << (m_messages.shown.empty() ? "" : m_messages.shown[0].text);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].initDir, folder);
    EXPECT_EQ(m_dialog.opens[0].fileName, "*.theme");
    EXPECT_EQ(theme().wallpaperPath, folder + "COOL.BMP");
    EXPECT_EQ(theme().soundPaths[19], folder + "CAF\u00c9.WAV");
    EXPECT_EQ(theme().colors[1], state::rgb(0, 0, 128));
    EXPECT_EQ(theme().colors[3], state::rgb(0, 128, 128)) << "Windows Standard's Background";
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find("[Control Panel\\Colors] GradientActiveTitle"),
              std::string::npos)
        << m_messages.shown[0].text;

    QTest::keyClick(control("Text2"), Qt::Key_F5);
    m_dialog.colorAnswers = {state::rgb(1, 2, 3)};
    emit m_form->preview()->elementClicked(25);
    EXPECT_EQ(m_dialog.colorColorsShown, std::vector<std::uint32_t>{state::rgb(16, 132, 208)});
    EXPECT_EQ(state::keptColor(theme().keptKeys, "GradientActiveTitle"), state::rgb(1, 2, 3));
}

}  // namespace

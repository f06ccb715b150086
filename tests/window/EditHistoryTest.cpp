// SPDX-License-Identifier: MIT
// Nothing the user does is lost: every kind of change undone and redone through the real
// window's Edit menu keys; the work kept a moment after a change and offered back at the next
// start; recent themes; damaged settings and kept work giving the normal start.
#include <QMenuBar>
#include <QUndoStack>

#include "window/EditMenu.h"
#include "window/Form1Fixture.h"
#include "window/KeptWorkFile.h"
#include "window/RecentThemesMenu.h"
#include "window/Session.h"
#include "window/Settings.h"
#include "window/ThemeHistory.h"
#include "window/WorkKeeper.h"

namespace {

using namespace form1test;

const QByteArray kMenuTheme = "[Control Panel\\Colors]\r\nMenu=1 2 3\r\n";

/// A state with every field away from its default.
state::ThemeState everyField() {
    state::ThemeState t;
    t.themeName = "Nacht \xc3\xbc";
    t.wallpaperPath = "C:\\art\\sky.bmp";
    t.tileWallpaper = true;
    auto fill = [n = 0](auto& paths) mutable {
        for (auto& path : paths) path = "C:\\f" + std::to_string(++n);
    };
    fill(t.iconPaths), fill(t.pointerPaths), fill(t.soundPaths), fill(t.logoPaths);
    for (std::size_t i = 0; i < t.colors.size(); ++i) t.colors[i] = 0xFFFFFFu - i;
    t.screenSaverPath = "C:\\b.scr";
    return t;
}

class EditHistoryTest : public Form1Test {
public:
    void SetUp() override {
        Form1Test::SetUp();
        m_form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }
    void TearDown() override { m_session.reset(); }  // the session goes before the window

    void trigger(const char* action) { control<QAction>(action)->trigger(); }
    QString text(const char* action) { return control<QAction>(action)->text().remove('&'); }
    QUndoStack* stack() { return m_form->history()->stack(); }
    void keys(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    /// Every page shows `t`, as far as the controls of these cases go.
    void expectShown(const state::ThemeState& t) {
        EXPECT_EQ(control<QLineEdit>("Text2")->text().toStdString(), t.themeName);
        EXPECT_EQ(control<QCheckBox>("Check1")->isChecked(), t.tileWallpaper);
        EXPECT_EQ(control("Image2")->accessibleDescription().toStdString(), t.wallpaperPath);
        EXPECT_EQ(control("Image1")->accessibleDescription().toStdString(), t.iconPaths[0]);
        EXPECT_EQ(control("Command11_0")->property("chosen").toBool(), !t.soundPaths[0].empty());
        auto* list = control<QListWidget>("List1");
        EXPECT_EQ(list->item(18)->icon().pixmap(8, 8).toImage().pixelColor(4, 4),
                  qcolor(t.colors[18]));
    }
    /// A session on folders of the test's own, as main builds one.
    void startSession(bool themeGiven = false) {
        m_settings = std::make_unique<window::Settings>(m_settingsFile);
        m_session = std::make_unique<window::Session>(*m_form, m_services, *m_settings, m_state);
        m_session->start(themeGiven);
    }
    /// The window of the next run: the session and the window go, a new pair comes.
    void restart(bool themeGiven = false) {
        m_session.reset();
        m_messages.shown.clear();
        m_form = std::make_unique<window::Form1>(services());
        m_form->show();
        m_form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        startSession(themeGiven);
    }
    std::optional<window::KeptWork> kept() {
        QFile file(m_keptFile);
        return file.open(QIODevice::ReadOnly) ? window::readKeptWork(file.readAll()) : std::nullopt;
    }

    QString m_state = m_home.path();
    QString m_settingsFile = m_home.filePath(QStringLiteral("skinsmith.conf"));
    QString m_keptFile = m_state + QStringLiteral("/kept-work.json");
    std::unique_ptr<window::Settings> m_settings;
    std::unique_ptr<window::Session> m_session;
};

struct UndoCase {
    const char* name;
    const char* step;  // what the Edit menu names
    std::function<void(EditHistoryTest&)> change;
};

class UndoEveryChange : public EditHistoryTest, public testing::WithParamInterface<UndoCase> {};

TEST_P(UndoEveryChange, IsOneStepUndoneAndRedoneOnEveryPageWithoutSwitchingPages) {
    const UndoCase& c = GetParam();
    // Something to come back to, so that an undo which resets everything is caught.
    state::ThemeState start;
    start.soundPaths[0] = "C:\\ding.wav";
    start.wallpaperPath = putData("sky.bmp", "red.bmp");
    m_form->applyChange(start, QStringLiteral("Setup"));
    const int steps = stack()->count();
    c.change(*this);
    const state::ThemeState after = theme();
    ASSERT_NE(after, start);
    EXPECT_EQ(stack()->count(), steps + 1) << "one step";
    EXPECT_EQ(text("mnuEditUndo"), QStringLiteral("Undo ") + c.step);

    const int page = m_form->tabs()->currentIndex();
    QSignalSpy shown(m_form.get(), &window::Form1::themeChanged);
    keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(theme(), start);
    expectShown(start);
    EXPECT_GE(shown.count(), 1) << "the preview follows themeChanged";
    EXPECT_EQ(m_form->tabs()->currentIndex(), page);
    EXPECT_EQ(text("mnuEditRedo"), QStringLiteral("Redo ") + c.step);
    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(theme(), after);
    expectShown(after);
    keys(Qt::Key_Z, Qt::ControlModifier);
    keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(theme(), after);
    EXPECT_EQ(stack()->count(), steps + 1) << "undo and redo record nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Changes, UndoEveryChange,
    testing::Values(UndoCase{"Pick", "Wallpaper",
                             [](auto& t) {
                                 t.showPage(1);
                                 t.m_dialog.openAnswers = {t.putData("dusk.jpg", "pattern.jpg")};
                                 QTest::mouseDClick(t.control("Image2"), Qt::LeftButton);
                             }},
                    UndoCase{"Drop", "My Computer Icon",
                             [](auto& t) {
                                 t.showPage(0);
                                 ASSERT_TRUE(dropOn(t.control("Image1"),
                                                    {t.url(t.putData("a.ico", "blue.ico"))}));
                             }},
                    UndoCase{"Clear", "Asterisk Sound",
                             [](auto& t) {
                                 t.showPage(3);
                                 t.control("Command11_0")->setFocus();
                                 QTest::keyClick(t.control("Command11_0"), Qt::Key_Delete);
                             }},
                    UndoCase{"Colour", "Menu Color",
                             [](auto& t) {
                                 t.showPage(4);
                                 t.template control<QListWidget>("List1")->setCurrentRow(18);
                                 t.m_dialog.colorAnswers = {state::rgb(255, 0, 0)};
                                 QTest::mouseClick(t.control("Command12"), Qt::LeftButton);
                             }},
                    UndoCase{"Tile", "Tile Wallpaper",
                             [](auto& t) {
                                 t.showPage(1);
                                 QTest::mouseClick(t.control("Check1"), Qt::LeftButton);
                             }},
                    UndoCase{"Name", "Theme Name",
                             [](auto& t) {
                                 t.showPage(7);
                                 t.control("Text2")->setFocus();
                                 QTest::keyClicks(t.control("Text2"), "Night");
                             }},
                    UndoCase{"Open", "Open Theme",
                             [](auto& t) {
                                 t.m_dialog.openAnswers = {t.put("Blue.theme", kMenuTheme)};
                                 t.trigger("mnuFileOpen");
                             }},
                    UndoCase{"New", "New Theme", [](auto& t) { t.trigger("mnuFileNew"); }},
                    UndoCase{"WholeState", "Colors from Wallpaper",
                             [](auto& t) {
                                 state::ThemeState scheme = t.m_form->theme();
                                 scheme.colors[18] = state::rgb(1, 2, 3);
                                 t.m_form->applyChange(scheme,
                                                       QStringLiteral("Colors from Wallpaper"));
                             }}),
    [](const testing::TestParamInfo<UndoCase>& info) { return std::string(info.param.name); });

TEST_F(EditHistoryTest, TypingIsOneStepPerVisitOfTheNameBoxAndItsUndoKeysAreTheMenus) {
    auto* name = control<QLineEdit>("Text2");
    name->setFocus();
    QTest::keyClicks(name, "Night");
    control("Command1")->setFocus();
    name->setFocus();
    QTest::keyClicks(name, " Sky");
    EXPECT_EQ(stack()->count(), 2);
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(theme().themeName, "Night");
    EXPECT_EQ(name->text(), QStringLiteral("Night"));
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(theme().themeName, "");
    // Typing that comes back to where it began leaves no step.
    QTest::keyClicks(name, "ab");
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(stack()->count(), 0);
    EXPECT_FALSE(control<QAction>("mnuEditUndo")->isEnabled());
}

TEST_F(EditHistoryTest, WorkIsKeptAfterEachChangeAndOfferedBackAtTheNextStart) {
    startSession();
    EXPECT_TRUE(m_messages.shown.empty()) << "nothing kept, nothing asked";
    m_form->applyChange(everyField(), QStringLiteral("Scheme"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return kept().has_value(); }, 60000));
    EXPECT_EQ(kept()->theme, everyField()) << "written whole";

    // A kill leaves the file; the next start asks, naming the theme, and Restore brings it back.
    restart();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    const platform::Message& question = m_messages.shown[0];
    EXPECT_EQ(question.title, "Restore Previous Work");
    const std::string asked =
        "Restore the theme you were working on?\n\n\"Nacht \xc3\xbc\", last changed 20";
    EXPECT_EQ(question.text.substr(0, asked.size()), asked);
    EXPECT_EQ(question.defaultButton, MessageResult::Ok);
    EXPECT_EQ(theme(), everyField());
    expectShown(everyField());
    EXPECT_EQ(text("mnuEditUndo"), QStringLiteral("Undo Restore Previous Work"));

    // A theme on the command line wins; the kept work waits in the File menu.
    restart(true);
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(theme(), state::ThemeState{});
    trigger("mnuFileRestore");
    EXPECT_EQ(theme(), everyField());

    // Exit with OK clears it: nothing is lost, nothing is kept.
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    m_session->keptWork().flush();
    EXPECT_FALSE(QFile::exists(m_keptFile));
    restart();
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(EditHistoryTest, DiscardAndCreateClearTheKeptWorkAndUndoingToTheOpenedThemeKeepsNone) {
    startSession();
    m_form->applyChange(everyField(), QStringLiteral("Scheme"));
    m_session->keptWork().flush();
    ASSERT_TRUE(QFile::exists(m_keptFile));
    m_messages.answers = {MessageResult::Cancel};
    restart();
    m_session->keptWork().flush();
    EXPECT_EQ(theme(), state::ThemeState{});
    EXPECT_FALSE(QFile::exists(m_keptFile)) << "discarded";

    // A change, then Create Theme: the theme is on disk, so nothing is kept.
    auto* name = control<QLineEdit>("Text2");
    name->setFocus();
    QTest::keyClicks(name, "Kept");
    m_session->keptWork().flush();
    ASSERT_TRUE(kept().has_value());
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    m_session->keptWork().flush();
    EXPECT_FALSE(QFile::exists(m_keptFile));
    name->setFocus();
    QTest::keyClicks(name, "!");
    m_session->keptWork().flush();
    ASSERT_TRUE(kept().has_value());
    EXPECT_EQ(kept()->source, "C:\\skinvault\\Kept\\Kept.theme");
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(theme().themeName, "Kept") << "back to what was created";
    m_session->keptWork().flush();
    EXPECT_FALSE(QFile::exists(m_keptFile));
}

TEST_F(EditHistoryTest, RecentThemesAndFoldersOutliveTheRunAndAGoneThemeIsDropped) {
    startSession();
    const std::string a = put("A.theme", kMenuTheme);
    const std::string b = put("B.theme", kMenuTheme);
    for (const std::string& path : {a, b, a}) {
        m_dialog.openAnswers = {path};
        trigger("mnuFileOpen");
    }
    // The dialogs' folders are remembered by kind too, and only the known kinds.
    m_settings->rememberFolder("*.ani;*.cur", "/art");
    m_settings->rememberFolder("*.txt", "/elsewhere");
    restart();
    EXPECT_EQ(m_settings->lastFolder("*.ani;*.cur"), "/art");
    EXPECT_EQ(m_settings->lastFolder("*.txt"), "");
    auto* recent = control<QMenu>("mnuFileRecent");
    emit recent->aboutToShow();
    EXPECT_EQ(text("mnuFileRecent_0"), QStringLiteral("1 A.theme"));
    EXPECT_EQ(text("mnuFileRecent_1"), QStringLiteral("2 B.theme"));
    EXPECT_EQ(control<QAction>("mnuFileRecent_1")->toolTip(),
              QStringLiteral("C:\\B.theme\n") + m_home.filePath(QStringLiteral("B.theme")));
    trigger("mnuFileRecent_1");
    EXPECT_EQ(theme().themeName, "B");
    EXPECT_EQ(m_settings->recentThemes().front(), m_home.filePath(QStringLiteral("B.theme")));

    ASSERT_TRUE(QFile::remove(m_home.filePath(QStringLiteral("A.theme"))));
    emit recent->aboutToShow();
    trigger("mnuFileRecent_1");
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text,
              "The theme file C:\\A.theme is no longer there. It was taken off the list of recent "
              "themes.");
    EXPECT_EQ(m_settings->recentThemes().size(), 1);
    trigger("mnuFileRecentClear");
    EXPECT_TRUE(m_settings->recentThemes().isEmpty());
}

struct DamagedCase {
    const char* name;
    QByteArray settings;
    QByteArray kept;
};

class DamagedFiles : public EditHistoryTest, public testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedFiles, GiveTheNormalStartAndAreWrittenAnew) {
    put(QStringLiteral("skinsmith.conf"), GetParam().settings);
    put(QStringLiteral("kept-work.json"), GetParam().kept);
    restart();
    m_session->keptWork().flush();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(theme(), state::ThemeState{});
    EXPECT_TRUE(m_settings->recentThemes().isEmpty());
    EXPECT_FALSE(QFile::exists(m_keptFile));
    QFile rewritten(m_settingsFile);
    ASSERT_TRUE(rewritten.open(QIODevice::ReadOnly));
    EXPECT_TRUE(rewritten.readAll().isEmpty()) << "nothing of the damage is kept";
}

const QByteArray kGoodKept =
    window::writeKeptWork({everyField(), "C:\\a.theme", QDateTime::currentDateTimeUtc()});

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFiles,
    testing::Values(
        DamagedCase{"Binary", QByteArray("\x00\xff[\x01\n=\x7f", 7), QByteArray("\x00\xff{", 3)},
        DamagedCase{"Truncated", "[recent]\nthemes=rel, other",
                    kGoodKept.left(kGoodKept.size() / 2)},
        DamagedCase{
            "WrongTypes", "[recent]\nthemes=@Variant(\\0\\0\\0\\x7f)\n[folders]\nicons=2\n",
            QByteArray(kGoodKept).replace("\"tileWallpaper\": true", "\"tileWallpaper\": 1")},
        DamagedCase{"UnknownKeysAndRelativePaths",
                    "[General]\nsecret=1\n[recent]\nthemes=a.theme\n[folders]\nicons=art\n",
                    QByteArray(kGoodKept).replace("16777215", "16777216")},
        DamagedCase{"ControlCharacter", "[preview]\ngeometry=1\n",
                    QByteArray(kGoodKept).replace("C:\\\\b.scr", "C:\\\\b\\n.scr")}),
    [](const testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

}  // namespace

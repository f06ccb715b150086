// SPDX-License-Identifier: MIT
// A whole theme built with the keyboard alone: the real window and the real Qt dialogs,
// answered by typing, on a temporary C: drive; not one mouse event is sent.
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

#include "platform/qt/QtCommonDialog.h"
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

/// Counts the mouse presses any widget receives.
class MousePresses : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick)
            ++count;
        return false;
    }
};

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(QDir(m_home.path()).mkpath(QStringLiteral("Art")));
        // The first dialog opens in the home folder: there the user types a file's name.
        m_realHome = qgetenv("HOME");
        qputenv("HOME", m_home.filePath(QStringLiteral("Art")).toLocal8Bit());
        qApp->installEventFilter(&m_presses);
        m_form = std::make_unique<window::Form1>(m_services);
        m_form->show();
        activate();
    }
    void TearDown() override {
        qApp->removeEventFilter(&m_presses);
        qputenv("HOME", m_realHome);
    }

    void activate() {
        m_form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }
    QWidget* focus() { return QApplication::focusWidget(); }
    QString focusName() { return focus() ? focus()->objectName() : QStringLiteral("(none)"); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_NE(focus(), nullptr);
        QTest::keyClick(focus(), k, modifiers);
    }
    /// Tab until the named control has the focus.
    void tabTo(const char* name) {
        for (int i = 0; i < 60 && focusName() != QLatin1String(name); ++i) key(Qt::Key_Tab);
        ASSERT_EQ(focusName(), QLatin1String(name));
    }
    std::string art(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(testdata::write(m_home.filePath(QStringLiteral("Art/") + name), bytes));
        return m_home.filePath(QStringLiteral("Art/") + name).toStdString();
    }
    /// The next open-file dialog is answered by typing the file's full path and Enter.
    void typeIntoNextFileDialog(const std::string& hostPath) {
        QTimer::singleShot(0, [this, hostPath] {
            auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            box->activateWindow();
            if (!QTest::qWaitForWindowActive(box)) return;
            auto* name = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* open = box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
            const QFileInfo file(QString::fromStdString(hostPath));
            QTest::keyClicks(name, file.fileName());
            if (!QTest::qWaitFor([&] {
                    return open->isEnabled() &&
                           box->directory().absolutePath() == file.absolutePath();
                })) {
                box->reject();  // the test fails on the count of answers
                return;
            }
            QTest::keyClick(name, Qt::Key_Return);
            ++m_answered;
        });
    }
    /// The next colour dialog is answered by typing an HTML colour and Enter.
    void typeIntoNextColorDialog(const QString& html) {
        QTimer::singleShot(0, [this, html] {
            auto* box = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            box->activateWindow();
            if (!QTest::qWaitForWindowActive(box)) return;
            for (auto* edit : box->findChildren<QLineEdit*>()) {
                if (!edit->text().startsWith(QLatin1Char('#'))) continue;
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(edit, html);
                QTest::keyClick(edit, Qt::Key_Return);
                ++m_answered;
                return;
            }
        });
    }

    QByteArray m_realHome;
    QTemporaryDir m_home;
    platform::DriveMap m_drives = driveOn(m_home.path());
    platform::HostFileSystem m_files{m_drives};
    platform::QtPictureLoader m_pictures{m_drives};
    fakes::ScriptedMessageBoxes m_messages;
    platform::QtCommonDialog m_dialog{m_drives, m_messages};
    fakes::RecordingWavePlayer m_player;
    fakes::RecordingProgramLauncher m_launcher;
    window::Services m_services{m_files,  m_messages, m_dialog, m_pictures,
                                m_player, m_launcher, m_drives};
    std::unique_ptr<window::Form1> m_form;
    MousePresses m_presses;
    int m_answered = 0;
};

/// The default theme file with the lines `changes` names ("key=" after an optional section
/// header) set to new values.
QStringList expectedTheme(const std::vector<std::tuple<QString, QString, QString>>& changes) {
    QFile file(
        QDir::cleanPath(QStringLiteral(SKINSMITH_TEST_DATA "/../../output/data/default.theme")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    for (const auto& [section, key, line] : changes) {
        qsizetype at = section.isEmpty() ? 0 : lines.indexOf(section);
        EXPECT_GE(at, 0) << section.toStdString();
        while (at < lines.size() && !lines[at].startsWith(key)) ++at;
        EXPECT_LT(at, lines.size()) << key.toStdString();
        if (at < lines.size()) lines[at] = line;
    }
    return lines;
}

TEST_F(KeyboardTest, ACompleteThemeIsBuiltWithoutTheMouse) {
    const std::string sky = art("Sky.ico", testdata::bytes("blue.ico"));
    const std::string sea = art("Sea.jpg", testdata::bytes("pattern.jpg"));
    const std::string arrow = art("Arrow.cur", testdata::bytes("red.cur"));
    const std::string chord = art("Chord.wav", "RIFF");
    const std::string lines = art("Lines.scr", "MZ");
    const std::string boot = art("Boot.sys", testdata::bytes("red.bmp"));

    // The name box has the focus at start-up.
    ASSERT_EQ(focusName(), QStringLiteral("Text2"));
    QTest::keyClicks(focus(), "Keys");

    key(Qt::Key_Tab, Qt::ControlModifier);  // Theme Info wraps round to Desktop icons
    ASSERT_EQ(m_form->tabs()->currentIndex(), 0);
    tabTo("Image1");
    typeIntoNextFileDialog(sky);
    key(Qt::Key_Space);
    activate();

    key(Qt::Key_PageDown, Qt::ControlModifier);
    tabTo("Image2");
    typeIntoNextFileDialog(sea);
    key(Qt::Key_Return);
    activate();
    tabTo("Check1");
    key(Qt::Key_Space);

    key(Qt::Key_Tab, Qt::ControlModifier);
    tabTo("Command10_0");
    typeIntoNextFileDialog(arrow);
    key(Qt::Key_Space);
    activate();

    key(Qt::Key_Tab, Qt::ControlModifier);
    tabTo("Command11_0");
    typeIntoNextFileDialog(chord);
    key(Qt::Key_Return);
    activate();
    key(Qt::Key_Menu);  // the keyboard's right press previews
    EXPECT_FALSE(m_player.calls.empty());

    key(Qt::Key_Tab, Qt::ControlModifier);
    tabTo("List1");
    for (int i = 0; i < 3; ++i) key(Qt::Key_Down);  // "Background"
    tabTo("Command12");
    typeIntoNextColorDialog(QStringLiteral("#102030"));
    key(Qt::Key_Space);
    activate();

    key(Qt::Key_Tab, Qt::ControlModifier);
    tabTo("Command4");
    typeIntoNextFileDialog(lines);
    key(Qt::Key_Space);
    activate();

    key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);  // back and forth once
    key(Qt::Key_PageUp, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(m_form->tabs()->currentIndex(), 6);
    tabTo("Text5");  // the About text passes Tab on
    key(Qt::Key_Tab);
    EXPECT_NE(focusName(), QStringLiteral("Text5"));

    key(Qt::Key_Tab, Qt::ControlModifier);
    tabTo("Command7");
    typeIntoNextFileDialog(boot);
    key(Qt::Key_Space);
    activate();

    tabTo("Command1");
    key(Qt::Key_Space);
    EXPECT_EQ(m_answered, 7);
    EXPECT_EQ(m_presses.count, 0) << "no mouse event reached any widget";

    QFile written(m_home.filePath(QStringLiteral("skinvault/Keys/Keys.theme")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QStringList expected = expectedTheme({
        {QStringLiteral("[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]"),
         QStringLiteral("DefaultValue="), QStringLiteral("DefaultValue=%ThemeDir%Sky.ico")},
        {QString(), QStringLiteral("Background="), QStringLiteral("Background= 16 32 48")},
        {QString(), QStringLiteral("Arrow="), QStringLiteral("Arrow=%ThemeDir%Arrow.cur")},
        {QString(), QStringLiteral("Wallpaper="), QStringLiteral("Wallpaper=%ThemeDir%Sea.jpg")},
        {QString(), QStringLiteral("TileWallpaper="), QStringLiteral("TileWallpaper=1")},
        {QStringLiteral("[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]"),
         QStringLiteral("DefaultValue="), QStringLiteral("DefaultValue=%ThemeDir%Chord.wav")},
        {QString(), QStringLiteral("SCRNSAVE.EXE="),
         QStringLiteral("SCRNSAVE.EXE=%WinDir%System\\Lines.scr")},
    });
    EXPECT_EQ(QString::fromLatin1(written.readAll()).toStdString(),
              expected.join(QStringLiteral("\r\n")).toStdString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_form->copying(); }));
    EXPECT_TRUE(QFile::exists(m_home.filePath(QStringLiteral("skinvault/Keys/Boot.sys"))));
}

}  // namespace

// SPDX-License-Identifier: MIT
// Every kind of slot, by keyboard and by drop: a choice is stored, marked and described, a
// cancel changes nothing, Delete empties it, a drop is checked as a pick is, and each change
// is announced.
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "pages/DesktopIconsPage.h"
#include "pages/MousePointersPage.h"
#include "pages/ScreenSaverPage.h"
#include "pages/SoundsPage.h"
#include "pages/ThemeInfoPage.h"
#include "pages/WallpaperPage.h"
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

struct SlotCase {
    const char* control;  // where the pick, the drop and the marker are
    const char* clearOn;  // where Delete empties the slot
    int page;
    Qt::Key key;                             // the keyboard's pick
    const char* file;                        // a file of the slot's kind
    const char* wrong;                       // a file of another kind
    std::string state::ThemeState::*single;  // the slot, or
    std::size_t index;                       // index into the slot array
};
void PrintTo(const SlotCase& c, std::ostream* os) {
    *os << c.control;
}

const std::string& slotOf(const state::ThemeState& t, const SlotCase& c) {
    if (c.single) return t.*(c.single);
    const std::string name = c.control;
    if (name.starts_with("Image") && name != "Image2") return t.iconPaths[c.index];
    if (name.starts_with("Command10")) return t.pointerPaths[c.index];
    if (name.starts_with("Command11")) return t.soundPaths[c.index];
    return t.logoPaths[c.index];
}

/// Drags files onto a control and drops them as the window system would: enter, then drop
/// where the enter was accepted. True when the control took the drag.
bool dropOn(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();  // the slot takes the file once the drop has ended
    return drop.isAccepted();
}

class SlotsTest : public Form1Test, public ::testing::WithParamInterface<SlotCase> {
protected:
    void SetUp() override {
        Form1Test::SetUp();
        m_dialog.drives = &m_drives;
        m_dialog.messages = &m_messages;
    }
    QUrl url(const std::string& windowsPath) {
        return QUrl::fromLocalFile(m_home.filePath(QString::fromStdString(windowsPath.substr(3))));
    }
};

TEST_P(SlotsTest, KeysDropsCancelAndDeleteKeepWindowAndThemeTogether) {
    const SlotCase c = GetParam();
    showPage(c.page);
    QWidget* control = this->control(c.control);
    QWidget* clearOn = this->control(c.clearOn);
    auto* page = qobject_cast<pages::Page*>(m_form->tabs()->page(c.page));
    ASSERT_NE(page, nullptr);
    QSignalSpy changes(page, &pages::Page::changed);
    const QImage blue = testpictures::filled(32, 32, Qt::blue);
    const std::string first =
        put(QStringLiteral("First_") + c.file, testpictures::iconFile({blue}));
    const std::string second =
        put(QStringLiteral("Second_") + c.file, testpictures::iconFile({blue}));
    const std::string wrong = put(QString::fromLatin1(c.wrong), "x");
    const std::string& slot = slotOf(theme(), c);

    // The keyboard's pick stores the file, marks the control and names the file to a reader.
    control->setFocus();
    m_dialog.openAnswers = {first};
    QTest::keyClick(control, c.key);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(slot, first);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(control->accessibleDescription().toStdString(), first);
    EXPECT_TRUE(control->toolTip().endsWith(QString::fromStdString(first)));
    if (control->property("chosen").isValid()) {
        EXPECT_TRUE(control->property("chosen").toBool());
    }

    // A cancel changes nothing, and the dialog opened in the file's folder.
    m_dialog.openAnswers = {std::nullopt};
    QTest::keyClick(control, c.key);
    EXPECT_EQ(m_dialog.opens.back().initDir, "C:\\");
    EXPECT_EQ(slot, first);
    EXPECT_EQ(changes.count(), 1);

    // Several files dropped at once: the first goes to this slot; a file of another kind is
    // refused with a word and changes nothing.
    EXPECT_TRUE(dropOn(control, {url(second), url(first)}));
    EXPECT_EQ(slot, second);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(m_dialog.opens.size(), 2u) << "a drop opens no dialog";
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(dropOn(control, {url(wrong)}));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].title, "Drop");
    EXPECT_EQ(slot, second);

    // Delete empties the slot and takes the mark away.
    clearOn->setFocus();
    QTest::keyClick(clearOn, Qt::Key_Delete);
    EXPECT_EQ(slot, "");
    EXPECT_EQ(changes.count(), 3);
    EXPECT_TRUE(control->accessibleDescription().isEmpty());
    if (control->property("chosen").isValid()) {
        EXPECT_FALSE(control->property("chosen").toBool());
    }
    EXPECT_EQ(m_form->tabs()->currentIndex(), c.page);
}

using TS = state::ThemeState;
INSTANTIATE_TEST_SUITE_P(
    EachKind, SlotsTest,
    ::testing::Values(
        SlotCase{"Image1", "Image1", 0, Qt::Key_Space, "Sky.ico", "Chord.wav", nullptr, 0},
        SlotCase{"Image6", "Image6", 0, Qt::Key_Return, "Bin.ico", "Bin.cur", nullptr, 3},
        SlotCase{"Image2", "Image2", 1, Qt::Key_Return, "Sea.bmp", "Sea.png", &TS::wallpaperPath,
                 0},
        SlotCase{"Command10_4", "Command10_4", 2, Qt::Key_Return, "Beam.cur", "Beam.ico", nullptr,
                 4},
        SlotCase{"Command11_5", "Command11_5", 3, Qt::Key_Space, "Empty.wav", "Empty.mp3", nullptr,
                 5},
        SlotCase{"Command4", "Command4", 5, Qt::Key_Space, "Lines.scr", "Lines.exe",
                 &TS::screenSaverPath, 0},
        SlotCase{"Command8", "Text3_1", 7, Qt::Key_Space, "Wait.sys", "Wait.bmp.txt", nullptr, 1}),
    [](const auto& info) { return std::string(info.param.control); });

/// Takes whatever drag reaches the window itself.
class WindowDrops : public QObject {
public:
    int entered = 0;
    int dropped = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::DragEnter)
            ++entered;
        else if (event->type() == QEvent::Drop)
            ++dropped;
        else
            return false;
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    }
};

TEST_F(SlotsTest, AThemeFileDroppedOnASlotGoesOnToTheWindow) {
    m_form->setAcceptDrops(true);
    WindowDrops window;
    m_form->installEventFilter(&window);
    showPage(0);
    const std::string theme = put("Autumn.theme", "[Theme]");
    const std::string sky = put("Sky.ico", "x");
    // A theme file first in a drag of several: the slot leaves the whole drag to the window.
    EXPECT_TRUE(dropOn(control("Image1"), {url(theme), url(sky)}));
    EXPECT_EQ(window.entered, 1);
    EXPECT_EQ(window.dropped, 1);
    EXPECT_EQ(this->theme(), state::ThemeState{});
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST(PagesShowStateTest, EveryControlShowsTheStateItIsGiven) {
    QTemporaryDir home;
    const platform::DriveMap drives = driveOn(home.path());
    platform::QtPictureLoader pictures(drives);
    fakes::ScriptedCommonDialog dialog;
    fakes::ScriptedMessageBoxes messages;
    fakes::RecordingWavePlayer player;
    fakes::RecordingProgramLauncher launcher;
    state::ThemeState theme;
    pages::DesktopIconsPage icons(theme, dialog, pictures);
    pages::WallpaperPage wallpaper(theme, dialog, pictures);
    pages::MousePointersPage pointers(theme, dialog, pictures);
    pages::SoundsPage sounds(theme, dialog, player);
    pages::ScreenSaverPage saver(theme, dialog, launcher);
    pages::ThemeInfoPage info(theme, dialog, pictures, messages);
    icons.resize(600, 300);
    wallpaper.resize(600, 300);
    const std::vector<pages::Page*> all = {&icons, &wallpaper, &pointers, &sounds, &saver, &info};
    auto find = [&](const char* name) -> QWidget* {
        for (auto* page : all)
            if (auto* w = page->findChild<QWidget*>(QString::fromLatin1(name))) return w;
        ADD_FAILURE() << name;
        return nullptr;
    };
    ASSERT_TRUE(testpictures::writeBytes(
        home.filePath("Sky.ico"), testpictures::iconFile({testpictures::filled(32, 32, Qt::red)})));

    // An opened theme: one icon that loads, one that does not, and a file in every page.
    theme.themeName = "Opened";
    theme.iconPaths = {"C:\\Sky.ico", "C:\\Gone.ico", "*.ico", ""};
    theme.wallpaperPath = "C:\\Gone.jpg";
    theme.tileWallpaper = true;
    theme.pointerPaths[3] = "C:\\Cross.cur";
    theme.soundPaths[19] = "C:\\Start.wav";
    theme.screenSaverPath = "C:\\Lines.scr";
    theme.logoPaths[2] = "C:\\Safe.sys";
    for (auto* page : all) page->showState();

    EXPECT_EQ(static_cast<PictureBox*>(find("Image1"))->picture().pixelColor(5, 5),
              QColor(Qt::red));
    for (const char* box : {"Image5", "Image4", "Image6", "Image2"})
        EXPECT_TRUE(static_cast<PictureBox*>(find(box))->picture().isNull()) << box;
    const std::map<std::string, bool> chosen = {{"Image1", true},       {"Image5", true},
                                                {"Image4", false},      {"Image6", false},
                                                {"Image2", true},       {"Command10_3", true},
                                                {"Command10_0", false}, {"Command11_19", true},
                                                {"Command11_0", false}, {"Command4", true}};
    for (const auto& [name, marked] : chosen)
        EXPECT_EQ(find(name.c_str())->property("chosen").toBool(), marked) << name;
    EXPECT_TRUE(static_cast<QCheckBox*>(find("Check1"))->isChecked());
    EXPECT_EQ(find("Image5")->accessibleDescription(), "C:\\Gone.ico");
    EXPECT_EQ(static_cast<QLineEdit*>(find("Text1"))->text(), "C:\\Lines.scr");
    EXPECT_EQ(static_cast<QLineEdit*>(find("Text2"))->text(), "Opened");
    EXPECT_EQ(static_cast<QLineEdit*>(find("Text3_2"))->text(), "C:\\Safe.sys");
    EXPECT_TRUE(static_cast<QLineEdit*>(find("Text3_0"))->text().isEmpty());

    // A new theme: everything empty again.
    theme = state::ThemeState{};
    for (auto* page : all) page->showState();
    EXPECT_TRUE(static_cast<PictureBox*>(find("Image1"))->picture().isNull());
    EXPECT_FALSE(find("Command11_19")->property("chosen").toBool());
    EXPECT_FALSE(static_cast<QCheckBox*>(find("Check1"))->isChecked());
    EXPECT_TRUE(static_cast<QLineEdit*>(find("Text1"))->text().isEmpty());
    EXPECT_TRUE(find("Image1")->accessibleDescription().isEmpty());
    EXPECT_TRUE(dialog.opens.empty());
}

}  // namespace

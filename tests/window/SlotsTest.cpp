// SPDX-License-Identifier: MIT
// Every kind of slot, by mouse, keyboard and drop: a choice is stored, marked and described,
// a cancel changes nothing, Delete empties it, a drop is checked as a pick is, and each change
// is announced.
#include "support/FifoWatch.h"
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

enum Gesture { DoubleClick, Click, Press };

struct SlotCase {
    const char* control;  // where the pick, the drop and the marker are
    const char* clearOn;  // where Delete empties the slot
    int page;
    Gesture mouse;        // the mouse's pick
    Qt::Key key;          // the keyboard's pick
    const char* data;     // a file of the slot's kind in tests/data, or none
    const char* file;     // its name on the drive
    const char* wrong;    // a file of another kind
    const char* filter;   // what the open-file dialog offers
    const char* pattern;  // and the name it starts with
};

const std::string& slotOf(const state::ThemeState& t, const SlotCase& c) {
    const std::string name = c.control;
    const std::size_t index = name.find('_') == std::string::npos ? 0 : std::stoul(name.substr(10));
    if (name == "Image2") return t.wallpaperPath;
    if (name == "Command4") return t.screenSaverPath;
    if (name.starts_with("Image")) return t.iconPaths[std::string("1546").find(name[5])];
    if (name.starts_with("Command10")) return t.pointerPaths[index];
    if (name.starts_with("Command11")) return t.soundPaths[index];
    return t.logoPaths[static_cast<std::size_t>(name[7] - '7')];  // Command7-9
}

/// The rectangle of the pixels of a picture that pass `test`, its outer two pixels aside.
QRect pixelsWhere(const QImage& image, auto test) {
    QRect found;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (test(image.pixelColor(x, y))) found |= QRect(x, y, 1, 1);
    return found;
}

class SlotsTest : public Form1Test, public ::testing::WithParamInterface<SlotCase> {
protected:
    void pickByMouse(QWidget* w, Gesture g) {
        if (g == DoubleClick) QTest::mouseDClick(w, Qt::LeftButton);
        if (g == Click) QTest::mouseClick(w, Qt::LeftButton);
        if (g == Press) QTest::mousePress(w, Qt::LeftButton);
    }
};

TEST_P(SlotsTest, PicksCancelsDropsAndDeleteKeepWindowAndThemeTogether) {
    const SlotCase c = GetParam();
    showPage(c.page);
    QWidget* control = this->control(c.control);
    auto* box = qobject_cast<PictureBox*>(control);
    auto* page = qobject_cast<pages::Page*>(m_form->tabs()->page(c.page));
    ASSERT_NE(page, nullptr);
    QSignalSpy changes(page, &pages::Page::changed);
    const QByteArray bytes = *c.data ? testdata::bytes(c.data) : QByteArray("RIFF");
    const std::string first = put(QStringLiteral("First_") + c.file, bytes);
    const std::string second = put(QStringLiteral("Second_") + c.file, bytes);
    const std::string notes = put(QStringLiteral("Notes_") + c.file, "no picture, no sound");
    const std::string wrong = put(QString::fromLatin1(c.wrong), "x");
    const std::string& slot = slotOf(theme(), c);

    // Empty, a picture box draws its hint inside in grey.
    const QImage empty = control->grab().toImage();
    const QRect ink = pixelsWhere(empty, [&](QColor c) { return c != empty.pixelColor(2, 2); });
    const QRect hue = pixelsWhere(empty, [](QColor c) { return c.red() != c.blue(); });
    EXPECT_TRUE(!box || (ink.width() > 40 && !hue.isValid())) << "the hint, in grey";

    // A picture box picks on its own gesture only.
    if (box) pickByMouse(control, c.mouse == DoubleClick ? Click : DoubleClick);
    EXPECT_TRUE(m_dialog.opens.empty());

    // The mouse's pick stores the file, marks the control and names the file to a reader.
    m_dialog.openAnswers = {first};
    pickByMouse(control, c.mouse);
    ASSERT_EQ(m_dialog.opens.size(), 1u);
    EXPECT_EQ(m_dialog.opens[0].filter, c.filter);
    EXPECT_EQ(m_dialog.opens[0].fileName, c.pattern);
    EXPECT_EQ(slot, first);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(control->accessibleDescription().toStdString(), first);
    EXPECT_TRUE(control->toolTip().endsWith(QString::fromStdString(first)));
    EXPECT_NE(control->property("chosen"), QVariant(false));  // when the control marks at all
    const QImage shown = box ? box->picture() : QImage();
    EXPECT_TRUE(!box || !shown.isNull()) << "a picture box shows the pick";

    // The mark, one small dot, stands in a button's corner and beside a picture box, never on
    // its picture.
    const QRect mark = pixelsWhere((box ? page : control)->grab().toImage(), [](QColor c) {
        return c.green() > c.red() + 60 && c.green() > c.blue() + 60;
    });
    EXPECT_TRUE(!control->property("chosen").isValid() ||
                (mark.width() == mark.height() && mark.width() >= 4 && mark.width() <= 8 &&
                 !(box && mark.intersects(box->geometry()))));

    // The keyboard's pick; a cancel or an empty answer changes nothing, and the dialog opens
    // in the file's folder; a file that is no picture is stored and changes no picture.
    control->setFocus();
    m_dialog.openAnswers = {notes, std::nullopt, std::string()};
    for (int i = 0; i < 3; ++i) QTest::keyClick(control, c.key);
    EXPECT_EQ(m_dialog.opens.back().initDir, "C:\\");
    EXPECT_EQ(slot, notes);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_TRUE(!box || box->picture() == shown) << "a file that is no picture changes none";
    // A name that differs from the pattern only in case is a choice all the same.
    m_dialog.openAnswers = {QString::fromLatin1(c.pattern).toUpper().toStdString()};
    QTest::keyClick(control, c.key);
    EXPECT_EQ(QString::fromStdString(slot), QString::fromLatin1(c.pattern).toUpper());

    // Several files dropped at once: the first goes to this slot; a file of another kind is
    // refused with a word and changes nothing.
    EXPECT_TRUE(dropOn(control, {url(second), url(first)}));
    EXPECT_EQ(slot, second);
    EXPECT_EQ(changes.count(), 4);
    EXPECT_EQ(m_dialog.opens.size(), 5u) << "a drop opens no dialog";
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(dropOn(control, {url(wrong)}));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].title, "Drop");
    EXPECT_EQ(slot, second);

    // Delete empties the slot and takes the mark away; no other slot ever moved.
    this->control(c.clearOn)->setFocus();
    QTest::keyClick(this->control(c.clearOn), Qt::Key_Delete);
    EXPECT_EQ(theme(), state::ThemeState{});
    EXPECT_EQ(changes.count(), 5);
    EXPECT_TRUE(control->accessibleDescription().isEmpty());
    EXPECT_NE(control->property("chosen"), QVariant(true));  // when the control marks at all
    EXPECT_EQ(m_form->tabs()->currentIndex(), c.page) << "handlers never switch pages";

    // A FIFO in the slot, however it got there, is previewed (on the pick, on a click on the
    // slot's box, in the preview window) and never opened: a reader's open waits for a
    // writer, which froze the window.
    testsupport::FifoWatch fifo(m_home.filePath(QStringLiteral("Pipe_") + c.file));
    m_dialog.openAnswers = {"C:\\Pipe_" + std::string(c.file)};
    pickByMouse(control, c.mouse);
    QTest::mouseClick(this->control(c.clearOn), Qt::LeftButton);
    this->control<QAction>("mnuViewPreview")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_form->findChild<QWidget*>("ThemePreview")));
    EXPECT_EQ(slot, "C:\\Pipe_" + std::string(c.file));
    EXPECT_FALSE(fifo.release());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EachKind, SlotsTest, ::testing::Values(
    SlotCase{"Image1", "Image1", 0, DoubleClick, Qt::Key_Space, "blue.ico", "Sky.ico",
             "Chord.wav", "Icon files|*.ico|All pictures|*.ico;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg", "*.ico"},
    SlotCase{"Image5", "Image5", 0, DoubleClick, Qt::Key_Return, "blue.ico", "Net.ico",
             "Net.cur", "Icon files|*.ico|All pictures|*.ico;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg", "*.ico"},
    SlotCase{"Image4", "Image4", 0, DoubleClick, Qt::Key_Space, "red.ico", "Full.ico",
             "Full.pdf", "Icon files|*.ico|All pictures|*.ico;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg", "*.ico"},
    SlotCase{"Image6", "Image6", 0, Click, Qt::Key_Return, "red.ico", "Bin.ico", "Bin.cur",
             "Icon files|*.ico|All pictures|*.ico;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg", "*.ico"},
    SlotCase{"Image2", "Image2", 1, DoubleClick, Qt::Key_Return, "red.bmp", "Sea.bmp", "Sea.psd",
             "Jpeg files|*.jpg|Windows bitmaps|*.bmp|All pictures|*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg;*.tif;*.tiff", "*.jpg"},
    SlotCase{"Command10_4", "Command10_4", 2, Click, Qt::Key_Return, "red.cur", "Beam.cur",
             "Beam.txt", "Pointers(*.ani;*.cur)|*.cur;*.ani|All pictures|*.cur;*.ani;*.ico;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg", "*.ani;*.cur"},
    SlotCase{"Command11_0", "Command11_0", 3, Press, Qt::Key_Space, "", "Empty.wav", "Empty.mid",
             "Wave files|*.wav|All sounds|*.wav;*.ogg;*.opus;*.flac;*.mp3", "*.wav"},
    SlotCase{"Command4", "Command4", 5, Click, Qt::Key_Space, "", "Lines.scr", "Lines.exe",
             "Screen Savers", "*.scr"},
    SlotCase{"Command8", "Text3_1", 7, Click, Qt::Key_Space, "red.bmp", "Wait.sys",
             "Wait.bmp.txt", "Logo files|*.sys|All pictures|*.sys;*.png;*.webp;*.gif;*.svg;*.bmp;*.jpg;*.jpeg", "*.sys"}),
    [](const auto& info) { return std::string(info.param.control); });
// clang-format on

}  // namespace

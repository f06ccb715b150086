// SPDX-License-Identifier: MIT
// Form1 as the user meets it: the real window with scripted dialogs and message boxes, the
// real picture loader and file system on a temporary C: drive, driven by Qt Test events; and
// what a screen reader and a reader's eyes get from it.
#include <QAccessible>

#include "pages/FrameBox.h"
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

TEST_F(Form1Test, StartsWithDefaultsThemeInfoInFrontAndTheFirstColourShown) {
    // The icon arrives right after the first frame: a drawn one of 16 colours at most.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_form->windowIcon().isNull(); }));
    EXPECT_TRUE(m_form->windowIcon().availableSizes().contains(QSize(32, 32)));
    const QImage icon = m_form->windowIcon().pixmap(32, 32).toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) colours.insert(icon.pixel(x, y));
    EXPECT_GT(colours.size(), 2) << "a drawn icon, not a blank";
    EXPECT_LE(colours.size(), 17) << "16 colours and transparency at most";

    // The defaults, the page in front and that start-up opens, shows and plays nothing are
    // the colour list's, the keyboard walk's, the slots' and the sound page's first checks.
    EXPECT_EQ(control<QListWidget>("List1")->currentRow(), 0);
    EXPECT_EQ(swatch(), QColor(104, 120, 104));
    EXPECT_EQ(control("Picture1")->accessibleDescription(), "Red 104, green 120, blue 104");
    for (const char* box : {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7"})
        EXPECT_TRUE(control<PictureBox>(box)->picture().isNull()) << box;
}

TEST_F(Form1Test, TabsStandInTwoFixedRowsAndKeysAndReadersChangePages) {
    auto* tabs = m_form->tabs();
    std::vector<QRect> before;
    for (int i = 0; i < tabs->count(); ++i) before.push_back(tabs->tabRect(i));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(before[i].top(), before[i / 4 * 4].top()) << i;
    EXPECT_LT(before[0].top(), before[4].top()) << "tabs 4-7 touch the pages";
    EXPECT_EQ(tabs->page(tabs->count()), nullptr);
    for (int chosen = 0; chosen < tabs->count(); ++chosen) {
        showPage(chosen);
        for (int i = 0; i < tabs->count(); ++i) EXPECT_EQ(tabs->tabRect(i), before[i]) << chosen;
    }
    showPage(0);
    EXPECT_TRUE(control("Image1")->isVisible());
    EXPECT_FALSE(control("Text2")->isVisible());

    // Ctrl+Shift+Tab from the buttons below, wrapping (Ctrl+Tab inside pages is the keyboard
    // walk's); arrow keys on the focused strip.
    QTest::keyClick(control("Command1"), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 7);
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Up);
    QTest::keyClick(tabs, Qt::Key_Up);
    QTest::keyClick(tabs, Qt::Key_Right);
    EXPECT_EQ(tabs->currentIndex(), 6);

    // To a reader the strip is a page tab list of eight tabs that say which one is selected;
    // the pages stand beside the list, as a tab widget's do (a reader counts its children as
    // tabs).
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(tabs);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), 8);
    auto check = [&](int selected) {
        for (int i = 0; i < 8; ++i) {
            QAccessibleInterface* tab = list->child(i);
            ASSERT_NE(tab, nullptr);
            EXPECT_EQ(tab->role(), QAccessible::PageTab);
            EXPECT_EQ(tab->text(QAccessible::Name), tabs->caption(i));
            EXPECT_EQ(tab->state().selected, i == selected) << i;
            EXPECT_EQ(list->indexOfChild(tab), i);
            EXPECT_EQ(tab->parent(), list);
        }
    };
    check(6);
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(tabs->page(3));
    EXPECT_EQ(page->role(), QAccessible::Pane);
    EXPECT_EQ(page->text(QAccessible::Name), tabs->caption(3));
    list->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(tabs->currentIndex(), 2);
    check(2);
    QTest::keyClick(control("Command1"), Qt::Key_PageDown, Qt::ControlModifier);
    check(3);
}

TEST_F(Form1Test, EveryControlIsReachedByKeysAlone) {
    m_form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    ASSERT_EQ(QApplication::focusWidget(), control("Text2")) << "the name box has it at start";
    QSet<QString> reached;
    for (int page = 0; page < 8; ++page) {  // Ctrl+Tab from Theme Info wraps to the first page
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        ASSERT_EQ(m_form->tabs()->currentIndex(), page);
        QSet<QString> here;  // the page's controls and the two buttons below: none keeps Tab
        for (int i = 0; i < 30; ++i) {
            here.insert(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_GE(here.size(), 3) << page;
        reached += here;
    }
    QStringList expected = {"Image1",  "Image5",    "Image4",   "Image6",   "Image2",   "Check1",
                            "List1",   "Command12", "Command4", "Command5", "Command6", "Text5",
                            "Text2",   "Command7",  "Command8", "Command9", "Text3_0",  "Text3_1",
                            "Text3_2", "Command1",  "Command3"};
    for (int i = 0; i < 12; ++i) expected << QStringLiteral("Command10_%1").arg(i);
    for (int i = 0; i < 20; ++i) expected << QStringLiteral("Command11_%1").arg(i);
    for (const QString& name : expected) EXPECT_TRUE(reached.contains(name)) << name.toStdString();
}

TEST_F(Form1Test, EveryControlHasAUniqueAccessibleNameAndEveryCaptionFits) {
    const QRegularExpression ours(QStringLiteral("^[A-Z][A-Za-z]*[0-9]*(_[0-9]+)?$"));
    QMap<QString, QString> owner;  // accessible name -> control
    for (int page = 0; page < m_form->tabs()->count(); ++page) showPage(page);  // all laid out
    for (QWidget* w : m_form->findChildren<QWidget*>()) {
        const QString who = w->objectName();
        if (ours.match(who).hasMatch()) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
            const QString name = face ? face->text(QAccessible::Name) : QString();
            EXPECT_FALSE(name.isEmpty()) << who.toStdString();
            EXPECT_FALSE(owner.contains(name)) << name.toStdString() << ": " << who.toStdString();
            owner.insert(name, who);
        }
        // Room a caption has in its control in the font resolved on this machine, in pixels.
        const QFontMetrics metrics(w->font());
        auto* check = qobject_cast<QCheckBox*>(w);
        QAbstractButton* button = check;
        if (!button) button = qobject_cast<QPushButton*>(w);
        auto* label = qobject_cast<QLabel*>(w);
        int spare = 0;
        if (button && !button->text().isEmpty()) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect inside = button->style()->subElementRect(
                check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, w);
            // A push button keeps a pixel clear of each side of the style's contents.
            spare = inside.width() - (check ? 0 : 2) - metrics.horizontalAdvance(button->text());
        } else if (label && !label->text().isEmpty()) {
            const QRect inside = label->contentsRect();
            const QRect needed = metrics.boundingRect(
                inside, int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0),
                label->text());
            spare = std::min(inside.width() - needed.width(), inside.height() - needed.height());
        } else if (auto* frame = qobject_cast<pages::FrameBox*>(w)) {
            spare = frame->width() - 16 - metrics.horizontalAdvance(frame->title());
        }
        EXPECT_GE(spare, 0) << who.toStdString() << " clipped in "
                            << QFontInfo(w->font()).family().toStdString();
    }
    EXPECT_GT(owner.size(), 70);
    const QMap<QString, QString> named = {{"My Computer icon", "Image1"},
                                          {"Recycle Bin Empty icon", "Image6"},
                                          {"Startup logo file", "Text3_0"},
                                          {"Asterisk sound", "Command11_0"},
                                          {"Colour of the selected element", "Picture1"},
                                          {"Inverse Diagonal resize pointer", "Command10_11"}};
    for (auto [name, who] : named.asKeyValueRange()) EXPECT_EQ(owner.value(name), who);
    auto* tabs = m_form->tabs();
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_GE(tabs->tabRect(i).width() - 8,
                  QFontMetrics(tabs->font()).horizontalAdvance(tabs->caption(i)))
            << i;
}

TEST_F(Form1Test, ColourListShowsEachElementAndChangeColourStartsFromIt) {
    showPage(4);
    auto* list = control<QListWidget>("List1");
    QSignalSpy changes(m_form->findChild<pages::Page*>("ThemeColorsPage"), &pages::Page::changed);
    const QRect background = list->visualItemRect(list->item(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, background.center());
    EXPECT_EQ(swatch(), qcolor(state::kDefaultColors[3]));
    list->setCurrentRow(11);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(swatch(), qcolor(state::kDefaultColors[12]));

    // A cancel does not turn the colour black; it opened at the element's colour.
    m_dialog.colorAnswers = {std::nullopt};
    QTest::mouseClick(control("Command12"), Qt::LeftButton);
    EXPECT_EQ(m_dialog.colorColorsShown, std::vector<state::Color>{state::kDefaultColors[12]});
    EXPECT_EQ(theme(), state::ThemeState{});
    EXPECT_EQ(changes.count(), 0);

    // Confirming red for "Menu" stores 255 and paints the swatch and the entry at once.
    list->setCurrentRow(18);
    m_dialog.colorAnswers = {state::rgb(255, 0, 0)};
    QTest::mouseClick(control("Command12"), Qt::LeftButton);
    EXPECT_EQ(swatch(), QColor(255, 0, 0));
    EXPECT_EQ(list->item(18)->icon().pixmap(8, 8).toImage().pixelColor(4, 4), QColor(255, 0, 0));
    EXPECT_EQ(control("Picture1")->accessibleDescription(), "Red 255, green 0, blue 0");
    EXPECT_EQ(changes.count(), 1);
    // Ctrl+click on the selected entry leaves it selected: Change color always has one.
    const QRect menu = list->visualItemRect(list->item(18));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, menu.center());
    EXPECT_EQ(list->selectedItems().size(), 1);

    state::ThemeState expected;
    expected.colors[18] = 255;
    EXPECT_EQ(theme(), expected);
}

TEST_F(Form1Test, ThemeNameIsTheBoxTextAsTyped) {
    auto* name = control<QLineEdit>("Text2");
    QTest::keyClicks(name, "abc");
    for (int i = 0; i < 3; ++i) QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(theme().themeName, "");
    QTest::keyClicks(name, "  Autumn Leaves ");
    EXPECT_EQ(theme().themeName, "  Autumn Leaves ");
}

TEST_F(Form1Test, ExitAsksAndEndsOnlyOnOk) {
    QSignalSpy exits(m_form.get(), &window::Form1::exitRequested);
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

    m_messages.answers = {MessageResult::Ok};
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_FALSE(m_form->isVisible());
}

}  // namespace

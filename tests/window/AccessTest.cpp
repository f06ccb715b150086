// SPDX-License-Identifier: MIT
// What a screen reader and a reader's eyes get: roles and unique names through
// QAccessible, tab rows that stay put, and captions that fit their controls in the font the
// window resolved on this machine.
#include <QAbstractButton>
#include <QAccessible>
#include <QFontInfo>
#include <QRegularExpression>
#include <QStyleOptionButton>

#include "pages/FrameBox.h"
#include "window/Form1Fixture.h"

namespace {

using namespace form1test;

QString nameOf(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

TEST_F(Form1Test, TheTabStripIsAPageTabListWithTheSelectedTab) {
    auto* tabs = m_form->tabs();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(tabs);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_GE(list->childCount(), 16) << "eight tabs and eight pages";
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
    check(7);
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(tabs->page(3));
    EXPECT_EQ(page->role(), QAccessible::PropertyPage);
    EXPECT_EQ(page->text(QAccessible::Name), QStringLiteral("Sounds"));
    EXPECT_GE(list->indexOfChild(page), 8);

    // A reader presses a tab; the keys change the selected one too.
    list->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(tabs->currentIndex(), 2);
    check(2);
    QTest::keyClick(control("Command1"), Qt::Key_PageDown, Qt::ControlModifier);
    check(3);
}

TEST_F(Form1Test, EveryControlHasAUniqueNameAndASwatchSaysItsColour) {
    const QRegularExpression ours(QStringLiteral("^[A-Z][A-Za-z]*[0-9]*(_[0-9]+)?$"));
    QMap<QString, QString> owner;  // accessible name -> control
    for (QWidget* w : m_form->findChildren<QWidget*>()) {
        if (!ours.match(w->objectName()).hasMatch()) continue;
        const QString name = nameOf(w);
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(owner.contains(name))
            << name.toStdString() << ": " << owner.value(name).toStdString() << " and "
            << w->objectName().toStdString();
        owner.insert(name, w->objectName());
    }
    EXPECT_GT(owner.size(), 70);
    const std::map<const char*, const char*> names = {
        {"Image1", "My Computer icon"},
        {"Image6", "Recycle Bin Empty icon"},
        {"Text3_0", "Startup logo file"},
        {"Command11_0", "Asterisk sound"},
        {"Command10_11", "Inverse Diagonal resize pointer"}};
    for (const auto& [control, name] : names)
        EXPECT_EQ(nameOf(this->control(control)), QString::fromLatin1(name)) << control;
    QAccessibleInterface* swatch = QAccessible::queryAccessibleInterface(control("Picture1"));
    EXPECT_EQ(swatch->text(QAccessible::Description),
              QStringLiteral("Red 104, green 120, blue 104"));
}

TEST_F(Form1Test, TabRowsStayInPlaceWhicheverTabIsChosen) {
    auto* tabs = m_form->tabs();
    std::vector<QRect> before;
    for (int i = 0; i < tabs->count(); ++i) before.push_back(tabs->tabRect(i));
    for (int chosen = 0; chosen < tabs->count(); ++chosen) {
        showPage(chosen);
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_EQ(tabs->tabRect(i), before[static_cast<std::size_t>(i)]) << chosen << " " << i;
    }
    EXPECT_LT(before[0].top(), before[4].top()) << "tabs 4-7 touch the pages";
}

/// How much room a caption has left in its control, in pixels: negative when clipped.
struct Room {
    QString control;
    int spare;
};

TEST_F(Form1Test, EveryCaptionFitsItsControlInTheResolvedFont) {
    std::vector<Room> rooms;
    auto* tabs = m_form->tabs();
    for (int i = 0; i < tabs->count(); ++i) {
        const QFontMetrics metrics(tabs->font());
        rooms.push_back(
            {QStringLiteral("tab ") + tabs->caption(i),
             tabs->tabRect(i).width() - 8 - metrics.horizontalAdvance(tabs->caption(i))});
    }
    for (int page = 0; page < tabs->count(); ++page) showPage(page);  // every page laid out
    for (QWidget* w : m_form->findChildren<QWidget*>()) {
        const QFontMetrics metrics(w->font());
        if (auto* button = qobject_cast<QPushButton*>(w); button && !button->text().isEmpty()) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect inside =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            // A pixel clear of each side of the style's contents, itself inside the bevel.
            rooms.push_back({button->objectName(),
                             inside.width() - 2 - metrics.horizontalAdvance(button->text())});
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            const QRect inside =
                box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            rooms.push_back(
                {box->objectName(), inside.width() - metrics.horizontalAdvance(box->text())});
        } else if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            const QRect inside = label->contentsRect();
            const QRect needed = metrics.boundingRect(
                inside, int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0),
                label->text());
            rooms.push_back({label->objectName(), std::min(inside.width() - needed.width(),
                                                           inside.height() - needed.height())});
        } else if (auto* frame = qobject_cast<pages::FrameBox*>(w)) {
            rooms.push_back({frame->objectName(),
                             frame->width() - 16 - metrics.horizontalAdvance(frame->title())});
        }
    }
    ASSERT_GT(rooms.size(), 50u);
    const Room* tightest = &rooms.front();
    for (const Room& room : rooms) {
        EXPECT_GE(room.spare, 0) << room.control.toStdString() << " is clipped by " << -room.spare
                                 << " px in " << QFontInfo(m_form->font()).family().toStdString();
        if (room.spare < tightest->spare) tightest = &room;
    }
    RecordProperty("font", QFontInfo(m_form->font()).family().toStdString());
    RecordProperty("tightest",
                   tightest->control.toStdString() + " " + std::to_string(tightest->spare) + " px");
    auto* widest = control<QPushButton>("Command10_11");
    std::printf(
        "font %s %.2f pt; tightest caption %s with %d px to spare; \"%s\" is %d px in a "
        "%d px button\n",
        qPrintable(QFontInfo(m_form->font()).family()), m_form->font().pointSizeF(),
        qPrintable(tightest->control), tightest->spare, qPrintable(widest->text()),
        widest->fontMetrics().horizontalAdvance(widest->text()), widest->width());
}

}  // namespace

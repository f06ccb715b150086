// The Qt dialog and message boxes where they can be driven: the message box through its
// keyboard, the open dialog's filter and its refusal of names Windows cannot hold.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "fakes/ScriptedMessageBoxes.h"
#include "platform/qt/QtCommonDialog.h"
#include "platform/qt/QtMessageBoxes.h"

namespace {

using platform::Message;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

/// Shows the message with the real QMessageBox and, once it is open, lets `act` look at it
/// and answer it.
MessageResult showAndAct(const Message& message, std::function<void(QMessageBox*)> act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;  // the test fails below on `acted`
        acted = true;
        act(box);
    });
    platform::QtMessageBoxes boxes;
    const MessageResult result = boxes.show(message);
    EXPECT_TRUE(acted);
    return result;
}

TEST(QtMessageBoxesTest, EnterChoosesTheDefaultAndEscapeCancels) {
    Message question{"Sure?\rReally?", "Exit Theme Creator", MessageButtons::OkCancel,
                     MessageIcon::None, MessageResult::Ok};
    EXPECT_EQ(showAndAct(question,
                         [](QMessageBox* box) {
                             EXPECT_EQ(box->windowTitle(), QStringLiteral("Exit Theme Creator"));
                             EXPECT_EQ(box->text(), QStringLiteral("Sure?\nReally?"));
                             EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
                             QTest::keyClick(box, Qt::Key_Return);
                         }),
              MessageResult::Ok);
    EXPECT_EQ(showAndAct(question, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }),
              MessageResult::Cancel);
    question.defaultButton = MessageResult::Cancel;
    EXPECT_EQ(showAndAct(question, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }),
              MessageResult::Cancel);
}

TEST(QtMessageBoxesTest, OkAloneAnswersOkHoweverClosedAndShowsItsIcon) {
    const Message stop{"Not valid logo file", "Error", MessageButtons::Ok, MessageIcon::Stop,
                       MessageResult::Ok};
    EXPECT_EQ(showAndAct(stop,
                         [](QMessageBox* box) {
                             EXPECT_EQ(box->icon(), QMessageBox::Critical);
                             EXPECT_EQ(box->buttons().size(), 1);
                             QTest::keyClick(box, Qt::Key_Escape);
                         }),
              MessageResult::Ok);
    const Message warning{"a\r\nb\nc", "t", MessageButtons::Ok, MessageIcon::Warning,
                          MessageResult::Ok};
    showAndAct(warning, [](QMessageBox* box) {
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->text(), QStringLiteral("a\nb\nc"));
        box->button(QMessageBox::Ok)->click();
    });
}

TEST(QtCommonDialogTest, NameFilterListsEveryPatternInEitherCase) {
    using platform::QtCommonDialog;
    EXPECT_EQ(QtCommonDialog::nameFilter("Icon files", "*.ico"),
              QStringLiteral("Icon files (*.[iI][cC][oO])"));
    EXPECT_EQ(QtCommonDialog::nameFilter("Pointers(*.ani;*.cur)|*.cur;*.ani", "*.ani;*.cur"),
              QStringLiteral("Pointers(*.ani;*.cur) (*.[aA][nN][iI] *.[cC][uU][rR])"));
    EXPECT_EQ(QtCommonDialog::nameFilter("", ""), QStringLiteral("Files (*)"));
}

TEST(QtCommonDialogTest, AFileWindowsCannotNameIsRefusedWithTheReason) {
    platform::DriveMap drives;
    drives.map('C', "/home/someone");
    drives.map('Z', "/");
    fakes::ScriptedMessageBoxes messages;
    platform::QtCommonDialog dialog(drives, messages);

    EXPECT_EQ(dialog.windowsPathOf("/home/someone/Art/Sky.ico"), "C:\\Art\\Sky.ico");
    EXPECT_EQ(dialog.windowsPathOf("/srv/Caf\xC3\xA9.ico"), "Z:\\srv\\Caf\xC3\xA9.ico");
    EXPECT_TRUE(messages.shown.empty());

    for (const char* bad : {"/home/someone/two\nlines.ico", "/home/someone/what?.ico",
                            "/home/someone/\xD0\x96.ico" /* Cyrillic: not in code page 1252 */}) {
        messages.shown.clear();
        EXPECT_EQ(dialog.windowsPathOf(bad), std::nullopt) << bad;
        ASSERT_EQ(messages.shown.size(), 1u) << bad;
        EXPECT_NE(messages.shown[0].text.find("cannot"), std::string::npos);
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    }
}

}  // namespace

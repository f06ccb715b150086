// SPDX-License-Identifier: MIT
// The Qt dialog and message boxes where they can be driven: the message box through its
// keyboard, the open dialog's filter and its refusal of names Windows cannot hold.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
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

TEST(QtCommonDialogTest, NameFiltersListEveryPatternInEitherCaseAndTheExtraKinds) {
    using platform::QtCommonDialog;
    EXPECT_EQ(QtCommonDialog::nameFilters("Icon files", "*.ico"),
              QStringList{"Icon files (*.[iI][cC][oO])"});
    EXPECT_EQ(QtCommonDialog::nameFilters("Pointers(*.ani;*.cur)|*.cur;*.ani", "*.ani;*.cur"),
              QStringList{"Pointers(*.ani;*.cur) (*.[aA][nN][iI] *.[cC][uU][rR])"});
    EXPECT_EQ(QtCommonDialog::nameFilters("Jpeg files|*.jpg|Windows bitmaps|*.bmp", "*.jpg"),
              (QStringList{"Jpeg files (*.[jJ][pP][gG])", "Windows bitmaps (*.[bB][mM][pP])"}));
    EXPECT_EQ(QtCommonDialog::nameFilters("", ""), QStringList{"Files (*)"});
}

/// Shows the real open-file dialog and, once it is open, lets `act` look at it and answer it.
void showOpenAndAct(platform::QtCommonDialog& dialog, std::function<void(QFileDialog*)> act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!box) return;
        acted = true;
        act(box);
    });
    dialog.ShowOpen();
    EXPECT_TRUE(acted);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

TEST(QtCommonDialogTest, OpensInTheSlotsFolderThenTheLastOneThenHomeAndKeepsNothing) {
    QTemporaryDir c;
    ASSERT_TRUE(QDir(c.path()).mkpath("Art") && QDir(c.path()).mkpath("Other"));
    QFile bitmap(c.filePath("Other/Sea.jpg"));
    ASSERT_TRUE(bitmap.open(QIODevice::WriteOnly) && bitmap.write("BM", 2) == 2);
    bitmap.close();
    platform::DriveMap drives;
    drives.map('C', c.path().toStdString());
    fakes::ScriptedMessageBoxes messages;
    platform::QtCommonDialog dialog(drives, messages);
    const QString conf = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/QtProject.conf");
    const QByteArray confBefore = contentOf(conf);

    EXPECT_EQ(dialog.startFolder(), QDir::homePath()) << "nothing picked yet";
    dialog.Filter = "Jpeg files|*.jpg|Windows bitmaps|*.bmp";
    dialog.FileName = "*.jpg";
    dialog.InitDir = "C:\\Art\\";
    showOpenAndAct(dialog, [&](QFileDialog* box) {
        EXPECT_EQ(QDir(box->directory()).canonicalPath(), QDir(c.filePath("Art")).canonicalPath());
        EXPECT_EQ(box->nameFilters().size(), 2);
        // Answered by typing: a full path into the name box, then Enter.
        auto* name = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        box->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClicks(name, c.filePath("Other/Sea.jpg"));
        // Enter opens once the dialog has listed the folder and found the file.
        auto* buttons = box->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return buttons->button(QDialogButtonBox::Open)->isEnabled(); }));
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.FileName, "C:\\Other\\Sea.jpg");

    // No folder for the slot, or one that is gone: where the last pick ended.
    for (const char* initDir : {"", "C:\\Gone\\"}) {
        dialog.InitDir = initDir;
        dialog.FileName = "*.jpg";
        showOpenAndAct(dialog, [&](QFileDialog* box) {
            EXPECT_EQ(QDir(box->directory()).canonicalPath(),
                      QDir(c.filePath("Other")).canonicalPath())
                << initDir;
            box->reject();
        });
        EXPECT_EQ(dialog.FileName, "*.jpg") << "a cancel leaves the pattern";
    }
    EXPECT_EQ(contentOf(conf), confBefore) << "the dialog's history stays in this run";
    EXPECT_TRUE(messages.shown.empty());
}

TEST(QtCommonDialogTest, ADroppedFileIsCheckedAsAPickAndForItsKind) {
    QTemporaryDir c;
    for (const char* name : {"Chord.WAV", "Sky.ico", "what?.wav"}) {
        QFile file(c.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(c.path()).mkpath("Folder.wav"));
    platform::DriveMap drives;
    drives.map('C', c.path().toStdString());
    fakes::ScriptedMessageBoxes messages;
    platform::QtCommonDialog dialog(drives, messages);
    dialog.Filter = "Wave files|*.wav";
    dialog.FileName = "*.wav";

    EXPECT_EQ(dialog.acceptFile(c.filePath("Chord.WAV").toStdString()), "C:\\Chord.WAV");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(dialog.startFolder(), c.path()) << "the next dialog opens where the drop came from";

    for (const char* bad : {"Sky.ico", "Folder.wav", "what?.wav", "Missing.wav"}) {
        messages.shown.clear();
        EXPECT_EQ(dialog.acceptFile(c.filePath(QString::fromLatin1(bad)).toStdString()),
                  std::nullopt)
            << bad;
        ASSERT_EQ(messages.shown.size(), 1u) << bad;
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning) << bad;
    }
    EXPECT_EQ(dialog.FileName, "*.wav");
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

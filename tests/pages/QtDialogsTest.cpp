// SPDX-License-Identifier: MIT
// The Qt dialog and message boxes where they can be driven: the message box through its
// keyboard, the open dialog's folders and filter, and its refusal of names Windows cannot hold.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "fakes/ScriptedMessageBoxes.h"
#include "platform/qt/QtCommonDialog.h"
#include "platform/qt/QtMessageBoxes.h"
#include "support/FifoWatch.h"
#include "support/TempDrive.h"

namespace {

using namespace platform;

/// Once the modal dialog `Dialog` is open, lets `act` look at it and answer it.
template <typename Dialog>
void whenOpen(auto act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

TEST(QtMessageBoxesTest, KeysAnswerAsTheButtonsSayAndTheBoxShowsTitleTextAndIcon) {
    const Message question{"Sure?\rReally?", "Exit Theme Creator", MessageButtons::OkCancel,
                           MessageIcon::None, MessageResult::Ok};
    Message cancelFirst = question;
    cancelFirst.defaultButton = MessageResult::Cancel;
    const Message stop{"a\r\nb\nc", "Error", MessageButtons::Ok, MessageIcon::Stop,
                       MessageResult::Ok};
    Message warning = stop;
    warning.icon = MessageIcon::Warning;
    // Each message, the key pressed, what the box answers and the icon it shows.
    for (const auto& [message, key, result, icon] :
         {std::tuple{question, Qt::Key_Return, MessageResult::Ok, QMessageBox::NoIcon},
          {question, Qt::Key_Escape, MessageResult::Cancel, QMessageBox::NoIcon},
          {cancelFirst, Qt::Key_Return, MessageResult::Cancel, QMessageBox::NoIcon},
          {stop, Qt::Key_Escape, MessageResult::Ok, QMessageBox::Critical},
          {warning, Qt::Key_Return, MessageResult::Ok, QMessageBox::Warning}}) {
        QStringList shown;
        whenOpen<QMessageBox>([&](QMessageBox* box) {
            shown << box->windowTitle() << box->text() << QString::number(box->buttons().size());
            EXPECT_EQ(box->icon(), icon);
            QTest::keyClick(box, key);
        });
        EXPECT_EQ(QtMessageBoxes().show(message), result);
        const bool ok = message.buttons == MessageButtons::Ok;
        EXPECT_EQ(shown, QStringList({QString::fromStdString(message.title),
                                      ok ? "a\nb\nc" : "Sure?\nReally?", ok ? "1" : "2"}));
    }
}

// The dialog opens in the slot's folder, else where the last pick or drop came from, else at
// home; a drop is checked as a pick and for its kind, and a file Windows cannot name is
// refused with the reason.
using QtCommonDialogDrive = testsupport::TempDriveTest;
TEST_F(QtCommonDialogDrive,
       FiltersInEitherCaseOpensInTheSlotsOrTheLastFolderAndRefusesFilesWindowsCannotTake) {
    const QDir c(m_dir.path());
    ASSERT_TRUE(c.mkpath("Art") && c.mkpath("Folder.wav"));
    for (const char* name : {"Chord.WAV", "Sky.ico", "what?.wav", "Tone.au"}) put(name, "RIFF");
    fakes::ScriptedMessageBoxes messages;
    QtCommonDialog dialog(m_drives, messages);
    // Every pattern in either case, and the extra kinds.
    EXPECT_EQ(QtCommonDialog::nameFilters("Pointers(*.ani;*.cur)|*.cur;*.ani", "*.ani;*.cur"),
              QStringList{"Pointers(*.ani;*.cur) (*.[aA][nN][iI] *.[cC][uU][rR])"});
    EXPECT_EQ(QtCommonDialog::nameFilters("Jpeg files|*.jpg|Windows bitmaps|*.bmp", "*.jpg"),
              (QStringList{"Jpeg files (*.[jJ][pP][gG])", "Windows bitmaps (*.[bB][mM][pP])"}));
    EXPECT_EQ(QtCommonDialog::nameFilters("", ""), QStringList{"Files (*)"});
    dialog.Filter = "Wave files|*.wav|Midi files|*.mid|Sun audio|*.au";
    dialog.FileName = "*.wav";
    EXPECT_EQ(dialog.startFolder(), QDir::homePath()) << "nothing picked yet";
    dialog.InitDir = "C:\\Art\\";
    EXPECT_EQ(dialog.startFolder(), c.filePath("Art"));
    EXPECT_EQ(dialog.acceptFile(c.filePath("Chord.WAV").toStdString()), "C:\\Chord.WAV");
    // Every kind the filter offers can be dropped, the third as well.
    EXPECT_EQ(dialog.acceptFile(c.filePath("Tone.au").toStdString()), "C:\\Tone.au");
    EXPECT_TRUE(messages.shown.empty());

    // Drops of the wrong kind, of no file, of a name Windows cannot hold; a pick of such a name
    // (the drive map's own tests hold every reason a name cannot be taken); a FIFO dropped or
    // typed into the dialog, which a preview would wait on.
    testsupport::FifoWatch fifo(c.filePath("Pipe.wav"));
    for (const auto& [name, dropped] : {std::pair{"Sky.ico", true},
                                        {"Folder.wav", true},
                                        {"what?.wav", true},
                                        {"Missing.wav", true},
                                        {"what?.wav", false},
                                        {"Pipe.wav", true},
                                        {"Pipe.wav", false}}) {
        messages.shown.clear();
        const std::string host = c.filePath(name).toStdString();
        EXPECT_EQ(dropped ? dialog.acceptFile(host) : dialog.windowsPathOf(host), std::nullopt)
            << host;
        ASSERT_EQ(messages.shown.size(), 1u) << host;
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(dropped || messages.shown[0].text.find("cannot") != std::string::npos);
    }
    EXPECT_EQ(messages.shown[0].text,
              "This file cannot be used in a theme, because it is not an ordinary file (it is a "
              "folder, a pipe or a device).");
    EXPECT_FALSE(fifo.release());
    QFile::remove(c.filePath("Pipe.wav"));  // the folder listed below holds files alone

    // No folder for the slot, or one that is gone: where the last drop came from. A cancel
    // leaves the pattern, and the dialog's history stays in this run.
    const QString conf =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/QtProject.conf";
    const QByteArray confBefore = testdata::contents(conf);
    for (const char* initDir : {"", "C:\\Gone\\"}) {
        dialog.InitDir = initDir;
        whenOpen<QFileDialog>([&](QFileDialog* box) {
            EXPECT_EQ(box->directory().path(), c.path());
            EXPECT_EQ(box->nameFilters().size(), 3);
            box->reject();
        });
        dialog.ShowOpen();
        EXPECT_EQ(dialog.FileName, "*.wav");
    }
    EXPECT_EQ(testdata::contents(conf), confBefore);
}

}  // namespace

// SPDX-License-Identifier: MIT
// File > Export Theme...: the export runs on a worker while the window goes on; a disk image
// the export cannot write is refused before anything starts.
#include <QComboBox>
#include <QLabel>

#include "Form1Fixture.h"
#include "window/ExportDialog.h"

namespace form1test {
namespace {

class ExportDialogTest : public Form1Test {
protected:
    window::ExportDialog* openDialog() {
        control<QLineEdit>("Text2")->setText(QStringLiteral("Autumn"));
        m_form->findChild<QAction*>(QStringLiteral("mnuFileExport"))->trigger();
        return m_form->findChild<window::ExportDialog*>();
    }
    template <typename T = QWidget>
    T* in(window::ExportDialog* dialog, const char* name) {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
};

TEST_F(ExportDialogTest, ZipIsWrittenOnAWorkerAndTheWindowStaysFree) {
    put(QStringLiteral("Sky.ico"), testdata::bytes(QStringLiteral("blue.ico")));
    auto* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    auto* target = in<QLineEdit>(dialog, "txtTarget");
    EXPECT_EQ(target->text(), m_home.filePath(QStringLiteral("skinvault/Autumn.zip")));
    // Another kind's extension typed into the name chooses that kind, and back.
    target->setText(m_home.filePath(QStringLiteral("Autumn.iso")));
    EXPECT_EQ(in<QComboBox>(dialog, "cboKind")->currentIndex(), 1);
    target->setText(m_home.filePath(QStringLiteral("Autumn.zip")));
    EXPECT_EQ(in<QComboBox>(dialog, "cboKind")->currentIndex(), 0);

    QSignalSpy finished(dialog, &window::ExportDialog::exportFinished);
    QTest::mouseClick(in<QPushButton>(dialog, "cmdExport"), Qt::LeftButton);
    // The click has returned while the export runs: its button waits, Close became Cancel.
    EXPECT_FALSE(in<QPushButton>(dialog, "cmdExport")->isEnabled());
    EXPECT_EQ(in<QPushButton>(dialog, "cmdClose")->text(), QStringLiteral("Cancel"));
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_TRUE(finished[0][0].toBool()) << finished[0][1].toString().toStdString();
    EXPECT_TRUE(finished[0][1].toString().contains(QStringLiteral("Autumn.zip")));
    EXPECT_TRUE(QFile::exists(m_home.filePath(QStringLiteral("skinvault/Autumn/Autumn.theme"))));
    EXPECT_TRUE(m_messages.shown.empty()) << "no Done! box from the create step";
    EXPECT_EQ(in<QPushButton>(dialog, "cmdClose")->text(), QStringLiteral("Close"));
}

TEST_F(ExportDialogTest, AnImageOfAnotherFormatIsRefusedWithWhatToDo) {
    put(QStringLiteral("win98.img"), QByteArray::fromHex("514649fb00000003").leftJustified(4096));
    auto* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    in<QComboBox>(dialog, "cboKind")->setCurrentIndex(2);
    in<QLineEdit>(dialog, "txtTarget")->setText(m_home.filePath(QStringLiteral("win98.img")));
    EXPECT_TRUE(in<QLabel>(dialog, "lblStatus")->text().contains(QStringLiteral("qcow2")));
    EXPECT_TRUE(in<QCheckBox>(dialog, "chkLogos")->isVisibleTo(dialog));
    EXPECT_FALSE(in<QCheckBox>(dialog, "chkLogos")->isChecked());
    QTest::mouseClick(in<QPushButton>(dialog, "cmdExport"), Qt::LeftButton);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find("qemu-img convert -O raw"), std::string::npos);
    EXPECT_FALSE(dialog->running());
    EXPECT_FALSE(QDir(m_home.filePath(QStringLiteral("skinvault"))).exists());
}

}  // namespace
}  // namespace form1test

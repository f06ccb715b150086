// SPDX-License-Identifier: MIT
#pragma once

// The real Form1 with scripted dialogs and message boxes, the real picture loader and file
// system on a temporary C: drive, for tests that drive it with Qt Test events.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "fakes/RecordingProgramLauncher.h"
#include "fakes/RecordingWavePlayer.h"
#include "fakes/ScriptedCommonDialog.h"
#include "fakes/ScriptedMessageBoxes.h"
#include "pages/Layout.h"
#include "pages/PictureBox.h"
#include "pages/Slots.h"
#include "pages/TestPictures.h"
#include "platform/DriveMap.h"
#include "platform/HostFileSystem.h"
#include "platform/qt/QtPictureLoader.h"
#include "support/TempDrive.h"
#include "window/Form1.h"
#include "window/TabStrip.h"

namespace form1test {

using pages::PictureBox;
using platform::MessageResult;

using testsupport::driveOn;

inline QColor qcolor(state::Color c) {
    return QColor(static_cast<int>(state::red(c)), static_cast<int>(state::green(c)),
                  static_cast<int>(state::blue(c)));
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        m_form = std::make_unique<window::Form1>(m_services);
        m_form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_form.get()));
    }

    template <typename T = QWidget>
    T* control(const char* name) {
        T* found = m_form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QColor swatch() { return control<QFrame>("Picture1")->palette().color(QPalette::Window); }
    void showPage(int index) {
        auto* tabs = m_form->tabs();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
        ASSERT_EQ(tabs->currentIndex(), index);
    }
    /// Writes a file on the test's C: drive and returns its Windows path.
    std::string put(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(testpictures::writeBytes(m_home.filePath(name), bytes));
        return "C:\\" + name.toStdString();
    }
    const state::ThemeState& theme() { return m_form->theme(); }

    QTemporaryDir m_home;
    platform::DriveMap m_drives = driveOn(m_home.path());
    platform::HostFileSystem m_files{m_drives};
    platform::QtPictureLoader m_pictures{m_drives};
    fakes::ScriptedMessageBoxes m_messages;
    fakes::ScriptedCommonDialog m_dialog;
    fakes::RecordingWavePlayer m_player;
    fakes::RecordingProgramLauncher m_launcher;
    window::Services m_services{m_files,  m_messages, m_dialog, m_pictures,
                                m_player, m_launcher, m_drives};
    std::unique_ptr<window::Form1> m_form;
};

}  // namespace form1test

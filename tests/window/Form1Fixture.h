// SPDX-License-Identifier: MIT
#pragma once

// The real Form1 with scripted dialogs and message boxes, the real picture loader and file
// system on a temporary C: drive, for tests that drive it with Qt Test events.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <ostream>

#include "fakes/RecordingProgramLauncher.h"
#include "fakes/RecordingWavePlayer.h"
#include "fakes/ScriptedCommonDialog.h"
#include "fakes/ScriptedMessageBoxes.h"
#include "pages/PictureBox.h"
#include "pages/Slots.h"
#include "platform/DriveMap.h"
#include "platform/HostFileSystem.h"
#include "platform/qt/QtPictureLoader.h"
#include "support/TempDrive.h"
#include "support/TestData.h"
#include "window/Form1.h"
#include "window/TabStrip.h"

// Failures show text and rectangles as a reader writes them.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace form1test {

using pages::PictureBox;
using platform::MessageResult;

inline QColor qcolor(state::Color c) {
    return QColor(static_cast<int>(state::red(c)), static_cast<int>(state::green(c)),
                  static_cast<int>(state::blue(c)));
}

/// Drags files onto a widget and drops them as the window system would: enter, then drop
/// where the enter was accepted. True when the widget took the drag.
inline bool dropOn(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();  // a slot takes the file once the drop has ended
    return drop.isAccepted();
}

class Form1Test : public ::testing::Test {
public:  // table cases drive the window through these too
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        m_dialog.drives = &m_drives;  // dropped files are checked as the real dialog does
        m_dialog.messages = &m_messages;
        m_form = std::make_unique<window::Form1>(services());
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
        EXPECT_TRUE(testdata::write(m_home.filePath(name), bytes));
        return "C:\\" + name.toStdString();
    }
    /// Copies a file of tests/data to the test's C: drive.
    std::string putData(const QString& name, const QString& dataFile) {
        return put(name, testdata::bytes(dataFile));
    }
    QUrl url(const std::string& windowsPath) {
        const QString relative = QString::fromStdString(windowsPath.substr(3));
        return QUrl::fromLocalFile(m_home.filePath(QString(relative).replace('\\', '/')));
    }
    const state::ThemeState& theme() { return m_form->theme(); }
    virtual window::Services& services() { return m_services; }  // what the window runs on

    QTemporaryDir m_home;
    platform::DriveMap m_drives = testsupport::driveOn(m_home.path());
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

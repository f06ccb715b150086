// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include "platform/DriveMap.h"
#include "platform/MessageBoxes.h"

class QAction;
class QMenu;

namespace window {

class Form1;
class Settings;

/// File > Recent Themes: the last theme files opened or created, newest first, each with its
/// Windows and host path in the tooltip, and "Clear Recent Themes". A file that is gone is
/// taken off the list with a message when chosen.
class RecentThemesMenu : public QObject {
    Q_OBJECT
public:
    /// The submenu goes into `fileMenu` above `before`.
    RecentThemesMenu(Form1& form, Settings& settings, const platform::DriveMap& drives,
                     platform::MessageBoxes& messages, QMenu* fileMenu, QAction* before);

    QMenu* menu() const { return m_menu; }
    /// Opens a listed theme as File > Open would (host path).
    void open(QString hostPath);

private:
    void remember(const QString& windowsPath);
    void rebuild();

    Form1& m_form;
    Settings& m_settings;
    const platform::DriveMap& m_drives;
    platform::MessageBoxes& m_messages;
    QMenu* m_menu;
};

}  // namespace window

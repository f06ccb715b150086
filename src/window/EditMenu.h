// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QAction;
class QMenuBar;

namespace window {

class ThemeHistory;

/// Edit: Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y) on the theme's history, each naming
/// the step it acts on ("Undo Wallpaper").
class EditMenu : public QObject {
    Q_OBJECT
public:
    EditMenu(ThemeHistory& history, QMenuBar* menuBar);

    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }

private:
    QAction* m_undo;
    QAction* m_redo;
};

}  // namespace window

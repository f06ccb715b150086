// SPDX-License-Identifier: MIT
#include "window/EditMenu.h"

#include <QAction>
#include <QMenuBar>
#include <QUndoStack>

#include "window/ThemeHistory.h"

namespace window {

EditMenu::EditMenu(ThemeHistory& history, QMenuBar* menuBar) : QObject(menuBar) {
    QMenu* edit = menuBar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    // QUndoStack keeps the texts ("Undo Wallpaper") and the enabled state up to date.
    m_undo = history.stack()->createUndoAction(edit, QStringLiteral("&Undo"));
    m_undo->setObjectName(QStringLiteral("mnuEditUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = history.stack()->createRedoAction(edit, QStringLiteral("&Redo"));
    m_redo->setObjectName(QStringLiteral("mnuEditRedo"));
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {m_undo, m_redo}) {
        // They work on every page, whichever control has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        edit->addAction(action);
    }
}

}  // namespace window

// SPDX-License-Identifier: MIT
#include "window/Session.h"

#include <QChildEvent>
#include <QMenu>
#include <QMenuBar>

#include "window/Form1.h"
#include "window/RecentThemesMenu.h"
#include "window/Settings.h"
#include "window/ThemePreviewWindow.h"
#include "window/WorkKeeper.h"

namespace window {

Session::Session(Form1& form, Services& services, Settings& settings, const QString& stateFolder)
    : m_form(form), m_settings(settings) {
    // Both go below Open, above Create Theme.
    auto* file = form.menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile"));
    QAction* create = file->findChild<QAction*>(QStringLiteral("mnuFileCreate"));
    m_recent =
        new RecentThemesMenu(form, settings, services.drives, services.messageBoxes, file, create);
    m_keeper = std::make_unique<WorkKeeper>(form, services.messageBoxes, stateFolder, file, create);
    file->insertSeparator(create);
    // The preview window is built on first use; it is watched from then on.
    form.installEventFilter(this);
}

Session::~Session() {
    if (m_preview) m_settings.setPreviewGeometry(m_preview->saveGeometry());
}

void Session::start(bool themeGiven) {
    m_keeper->offerPreviousWork(!themeGiven);
}

bool Session::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildPolished && watched == &m_form && !m_preview) {
        if (auto* preview =
                qobject_cast<ThemePreviewWindow*>(static_cast<QChildEvent*>(event)->child())) {
            m_preview = preview;
            m_preview->installEventFilter(this);
        }
    } else if (watched == m_preview && event->type() == QEvent::Show && !m_placed) {
        // At its first show, after Qt has sized it to its contents and before it is mapped.
        m_placed = true;
        m_preview->restoreGeometry(m_settings.previewGeometry());
    } else if (watched == m_preview && event->type() == QEvent::Hide) {
        m_settings.setPreviewGeometry(m_preview->saveGeometry());
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace window

// SPDX-License-Identifier: MIT
#include "window/RecentThemesMenu.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "window/Form1.h"
#include "window/Settings.h"

namespace window {

RecentThemesMenu::RecentThemesMenu(Form1& form, Settings& settings,
                                   const platform::DriveMap& drives,
                                   platform::MessageBoxes& messages, QMenu* fileMenu,
                                   QAction* before)
    : QObject(fileMenu),
      m_form(form),
      m_settings(settings),
      m_drives(drives),
      m_messages(messages),
      m_menu(new QMenu(QStringLiteral("Recent &Themes"), fileMenu)) {
    m_menu->setObjectName(QStringLiteral("mnuFileRecent"));
    m_menu->setToolTipsVisible(true);
    fileMenu->insertMenu(before, m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &RecentThemesMenu::rebuild);
    connect(&form, &Form1::themeOpened, this, &RecentThemesMenu::remember);
    connect(&form, &Form1::themeCreated, this, &RecentThemesMenu::remember);
    rebuild();
}

void RecentThemesMenu::remember(const QString& windowsPath) {
    if (const auto host = m_drives.toHost(windowsPath.toStdString()))
        m_settings.addRecentTheme(QString::fromStdString(host->string()));
}

void RecentThemesMenu::rebuild() {
    m_menu->clear();
    int number = 0;
    for (const QString& host : m_settings.recentThemes()) {
        ++number;
        const QString mnemonic =
            number < 10 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("1&0 ");
        QAction* item = m_menu->addAction(mnemonic + QFileInfo(host).fileName());
        item->setObjectName(QStringLiteral("mnuFileRecent_%1").arg(number - 1));
        const auto windows = m_drives.toWindows(host.toStdString());
        item->setToolTip(windows ? QString::fromStdString(*windows) + QLatin1Char('\n') + host
                                 : host);
        connect(item, &QAction::triggered, this, [this, host] { open(host); });
    }
    if (number == 0) m_menu->addAction(QStringLiteral("(none)"))->setEnabled(false);
    m_menu->addSeparator();
    QAction* clear = m_menu->addAction(QStringLiteral("&Clear Recent Themes"));
    clear->setObjectName(QStringLiteral("mnuFileRecentClear"));
    clear->setEnabled(number > 0);
    // The menu is built anew each time it opens, not here, where the item is still in use.
    connect(clear, &QAction::triggered, this, [this] { m_settings.clearRecentThemes(); });
}

void RecentThemesMenu::open(QString hostPath) {
    // A copy: the list and the menu item may change while the theme opens.
    if (!QFileInfo(hostPath).isFile()) {
        m_settings.removeRecentTheme(hostPath);
        const auto windows = m_drives.toWindows(hostPath.toStdString());
        m_messages.show({"The theme file " + (windows ? *windows : hostPath.toStdString()) +
                             " is no longer there. It was taken off the list of recent themes.",
                         "Recent Themes", platform::MessageButtons::Ok,
                         platform::MessageIcon::Warning, platform::MessageResult::Ok});
        return;
    }
    if (m_form.mayDiscardTheme("Open Theme")) m_form.openThemeFile(hostPath);
}

}  // namespace window

// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "window/Services.h"

namespace window {

class Form1;
class RecentThemesMenu;
class Settings;
class WorkKeeper;

/// What one run keeps for the next around the window: the recent themes, the preview window's
/// size and place (in the settings) and the work in progress (in the state folder). Built after
/// the window and gone before it.
class Session : public QObject {
    Q_OBJECT
public:
    Session(Form1& form, Services& services, Settings& settings, const QString& stateFolder);
    ~Session() override;

    /// At start-up, once the window shows: offers the work of an earlier run, by a question
    /// unless a theme from the command line is in place.
    void start(bool themeGiven);

    RecentThemesMenu& recentThemes() const { return *m_recent; }
    WorkKeeper& keptWork() const { return *m_keeper; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1& m_form;
    Settings& m_settings;
    RecentThemesMenu* m_recent;
    std::unique_ptr<WorkKeeper> m_keeper;
    QWidget* m_preview = nullptr;
    bool m_placed = false;  // the preview took the size and place of the last run
};

}  // namespace window
